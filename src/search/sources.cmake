wp_core_sources(
    linereader.cpp
    plainsearch.cpp
    regex_analyse.cpp
    regex_compile.cpp
    regex_match.cpp
    regex_subst.cpp
)
