wp_gui_sources(
    colorbutton.cpp
    formdialog.cpp
    sizingbar.cpp
)
