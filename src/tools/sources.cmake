wp_core_sources(nkf.cpp nkf_mime.cpp)
wp_core_sources(pluginlibrary.cpp)
