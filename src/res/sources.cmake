wp_core_sources(
    commandtable.cpp
    menus.cpp
    toolbars.cpp
)
wp_gui_sources(
    icons.qrc
)
