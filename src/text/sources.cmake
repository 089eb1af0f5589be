wp_core_sources(
    codec.cpp
    codedfile.cpp
    filehandle.cpp
    filestamp.cpp
    fileio.cpp
    filecode.cpp
    filecode_guess.cpp
    filecode_tables.cpp
    fileload.cpp
    linearray.cpp
    sjis.cpp
    textbuffer.cpp
    undo.cpp
    utf8check.cpp
)

wp_core_sources(kanji.cpp)
