# Helpers with which each src/<folder>/sources.cmake adds its files to the two libraries.
set_property(GLOBAL PROPERTY WP_CORE_SOURCES "")
set_property(GLOBAL PROPERTY WP_GUI_SOURCES "")

function(wp_core_sources)
    get_filename_component(dir ${CMAKE_CURRENT_LIST_FILE} DIRECTORY)
    foreach(f ${ARGN})
        set_property(GLOBAL APPEND PROPERTY WP_CORE_SOURCES ${dir}/${f})
    endforeach()
endfunction()

function(wp_gui_sources)
    get_filename_component(dir ${CMAKE_CURRENT_LIST_FILE} DIRECTORY)
    foreach(f ${ARGN})
        set_property(GLOBAL APPEND PROPERTY WP_GUI_SOURCES ${dir}/${f})
    endforeach()
endfunction()
