wp_gui_sources(
    linkcheck.cpp
)
