wp_core_sources(
    codec.cpp
    filehandle.cpp
    fileio.cpp
    fileload.cpp
    linearray.cpp
    sjis.cpp
    textbuffer.cpp
    undo.cpp
)

wp_core_sources(kanji.cpp)
