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

# A plug-in: a shared object loaded at run time, installed where the program
# looks for the installation's plug-ins.
function(wp_plugin name)
    add_library(${name} MODULE ${ARGN})
    set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".wpi")
    install(TARGETS ${name} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/wrenpad/plugins)
endfunction()
