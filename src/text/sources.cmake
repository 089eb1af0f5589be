wp_core_sources(
    codec.cpp
    filehandle.cpp
    filestamp.cpp
    fileio.cpp
    fileload.cpp
    linearray.cpp
    sjis.cpp
    textbuffer.cpp
    undo.cpp
    utf8check.cpp
)

wp_core_sources(kanji.cpp)
