wp_gui_sources(
    colorbutton.cpp
    sizingbar.cpp
)
