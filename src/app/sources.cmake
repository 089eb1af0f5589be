wp_gui_sources(
    mainframe.cpp
)
