wp_core_sources(nkf.cpp nkf_mime.cpp)
wp_core_sources(
    archive_pack.cpp
    archive_unpack.cpp
    archivecmd.cpp
    archivelib.cpp
    archivepath.cpp
    filesplit.cpp
    kanjiio.cpp
    lh5encoder.cpp
    lzhwriter.cpp
)
wp_gui_sources(archivedlg.cpp archiveextractdlg.cpp filesplitdlg.cpp)
