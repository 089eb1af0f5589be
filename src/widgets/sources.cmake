wp_gui_sources(
    colorbutton.cpp
    dialogkeys.cpp
    formdialog.cpp
    progressdlg.cpp
    sizingbar.cpp
)
