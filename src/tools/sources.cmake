wp_core_sources(nkf.cpp)
