wp_core_sources(
    textconv.cpp
    textconv_html.cpp
    textconv_lines.cpp
    textinsert.cpp
)
