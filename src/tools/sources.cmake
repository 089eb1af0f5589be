wp_core_sources(nkf.cpp nkf_mime.cpp)
wp_core_sources(pluginlibrary.cpp)
wp_core_sources(plugincommand.cpp pluginregistry.cpp imagesize.cpp shellmenu.cpp userfolders.cpp)
