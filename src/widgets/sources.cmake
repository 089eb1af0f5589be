wp_gui_sources(
    colorbutton.cpp
    dialogkeys.cpp
    gridctrl.cpp
    formdialog.cpp
    progressdlg.cpp
    sizingbar.cpp
)
