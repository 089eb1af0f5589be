wp_core_sources(
    lineinsert.cpp
    tagattr.cpp
    tagcase.cpp
    tagpair.cpp
)
