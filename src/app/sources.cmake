wp_core_sources(
    appsettings.cpp
)
wp_gui_sources(
    mainframe.cpp
    wrenpadview.cpp
    wrenpadview_jump.cpp
)
