wp_gui_sources(
    colorbutton.cpp
    dialogkeys.cpp
    formdialog.cpp
    sizingbar.cpp
)
