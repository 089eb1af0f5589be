wp_core_sources(
    codec.cpp
    codedfile.cpp
    doctext.cpp
    extrachars.cpp
    filehandle.cpp
    filestamp.cpp
    fileio.cpp
    filecode.cpp
    filecode_guess.cpp
    filecode_tables.cpp
    filecode_utf8.cpp
    filecode_utf8_blocks.cpp
    filecode_write.cpp
    fileload.cpp
    linearray.cpp
    sjis.cpp
    textbuffer.cpp
    undo.cpp
    utf8check.cpp
)

wp_core_sources(kanji.cpp)
# The codec's edge to the widgets.
wp_gui_sources(codec_qt.cpp)
