wp_core_sources(nkf.cpp nkf_mime.cpp)
