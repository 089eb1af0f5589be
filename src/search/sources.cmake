wp_core_sources(
    linereader.cpp
    regex_analyse.cpp
    regex_compile.cpp
    regex_match.cpp
    regex_subst.cpp
)
