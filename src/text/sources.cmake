wp_core_sources(
    codec.cpp
    fileio.cpp
    linearray.cpp
    sjis.cpp
    textbuffer.cpp
    undo.cpp
)

wp_core_sources(kanji.cpp)
