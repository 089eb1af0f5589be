wp_gui_sources(
    colorbutton.cpp
    formdialog.cpp
    progressdlg.cpp
    sizingbar.cpp
)
