# The source files of the two libraries, told apart by path: a file in a
# folder named ui (src/ui, src/FEATURE/ui) belongs to wrenpad_gui, every other
# file under src to wrenpad_core. The command-line tool's folder and the files
# that make programs or modules of their own are left to src/CMakeLists.txt.
set(WP_OWN_TARGET_SOURCES
    ${CMAKE_SOURCE_DIR}/src/app/ui/main.cpp
    ${CMAKE_SOURCE_DIR}/src/preview/ui/webenginepreview.cpp)

file(GLOB_RECURSE wp_all_sources CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/src/*.cpp ${CMAKE_SOURCE_DIR}/src/*.qrc)
set(WP_CORE_SOURCES "")
set(WP_GUI_SOURCES "")
foreach(f ${wp_all_sources})
    file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR}/src ${f})
    if(rel MATCHES "^cli/" OR f IN_LIST WP_OWN_TARGET_SOURCES)
        continue()
    elseif(rel MATCHES "(^|/)ui/")
        list(APPEND WP_GUI_SOURCES ${f})
    elseif(rel MATCHES "\\.cpp$")
        list(APPEND WP_CORE_SOURCES ${f})
    endif()
endforeach()

# A plug-in: a shared object loaded at run time, installed where the program
# looks for the installation's plug-ins.
function(wp_plugin name)
    add_library(${name} MODULE ${ARGN})
    set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".wpi")
    install(TARGETS ${name} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/wrenpad/plugins)
endfunction()
