// The archive back end: trees packed and unpacked whole, names from Japanese
// and other systems, and hostile archives that must not write a byte outside
// the destination.
#include "archive/archivecmd.h"
#include "archive/archivepath.h"
#include "archive/archivetest.h"
#include "text/codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <unistd.h>

namespace {

CTree SampleTree()
{
    std::string strText;
    for (int i = 0; i < 4000; ++i)
        strText += "<p>日本語のテキスト " + std::to_string(i) + "</p>\r\n";
    return {
        {"index.html", strText},
        {"empty.txt", ""},
        {"画像/", ""},
        {"画像/写真.bin", RandomBytes(200000, 1)},
        {"ソフト表/", ""},
        {"ソフト表/予定表.txt", "予定"},
        {"ソフト表/空のフォルダ/", ""},
        {"space name.txt", "blank in the name"},
    };
}

// Leaves only what the test wrote: no temporary files of ours anywhere.
bool HasTemporaryFiles(const CTree &tree)
{
    return std::any_of(tree.begin(), tree.end(),
                       [](const auto &item) { return item.first.find(".wrenpad-") != std::string::npos; });
}

int Pack(const std::string &strArchive, const std::string &strBase, std::string &strOut,
         const std::vector<std::string> &aFiles = {})
{
    CPackRequest request{strArchive, strBase, aFiles};
    return ArchivePack(request, strOut, nullptr);
}

} // namespace

TEST(Archive, TreesComeBackWholeThroughLzhAndZip)
{
    for (const char *pszArchive : {"tree.lzh", "tree.ZIP"}) {
        CTempDir dir;
        const CTree tree = SampleTree();
        MakeTree(dir.File("src"), tree);
        std::string strOut;
        ASSERT_EQ(Pack(dir.File(pszArchive), dir.File("src"), strOut), ARC_OK) << strOut;
        EXPECT_NE(strOut.find("5個のファイルと3個のフォルダーを圧縮しました。"), std::string::npos) << strOut;
        // What another reader sees.
        EXPECT_EQ(ReadArchiveEntries(dir.File(pszArchive)), tree) << pszArchive;
        ASSERT_EQ(Unpack(dir.File(pszArchive), dir.File("out/new"), strOut), ARC_OK) << strOut;
        EXPECT_EQ(SnapshotTree(dir.File("out/new")), tree) << pszArchive;
        EXPECT_FALSE(HasTemporaryFiles(SnapshotTree(dir.Path())));
    }
}

TEST(Archive, LzhNamesAreShiftJisForOtherReaders)
{
    CTempDir dir;
    MakeTree(dir.File("src"), SampleTree());
    std::string strOut;
    ASSERT_EQ(Pack(dir.File("a.lzh"), dir.File("src"), strOut), ARC_OK);
    ASSERT_EQ(::mkdir(dir.File("x").c_str(), 0755), 0);
    ASSERT_EQ(RunProgram({"lha", "xq", dir.File("a.lzh")}, dir.File("x")).nStatus, 0);
    EXPECT_EQ(ReadFileBytes(dir.File("x/" + Utf8ToCp932("ソフト表/予定表.txt"))), "予定");
    EXPECT_TRUE(FileExists(dir.File("x/" + Utf8ToCp932("ソフト表/空のフォルダ"))));
    // bsdtar reads it on its own too.
    const CToolResult list =
        RunProgram({"env", "LC_ALL=C.UTF-8", "bsdtar", "--options", "hdrcharset=CP932", "-tf", dir.File("a.lzh")});
    EXPECT_EQ(list.nStatus, 0) << list.strErr;
    EXPECT_NE(list.strOut.find("ソフト表/予定表.txt\n"), std::string::npos) << list.strOut;
}

TEST(Archive, PackingChosenFilesKeepsTheirPathsBelowTheBase)
{
    CTempDir dir;
    MakeTree(dir.File("src"), SampleTree());
    std::string strOut;
    ASSERT_EQ(Pack(dir.File("some.lzh"), dir.File("src"), strOut, {"index.html", "ソフト表", dir.File("src/empty.txt")}),
              ARC_OK)
        << strOut;
    const CTree tree = ReadArchiveEntries(dir.File("some.lzh"));
    EXPECT_EQ(tree.size(), 5u);
    EXPECT_EQ(tree.count("ソフト表/空のフォルダ/"), 1u);
    EXPECT_EQ(tree.count("empty.txt"), 1u);
    // Names that leave the base, or that are not there, write no archive.
    for (const char *pszName : {"../src/index.html", "/etc/hostname", "missing.txt"})
        EXPECT_EQ(Pack(dir.File("bad.lzh"), dir.File("src"), strOut, {pszName}), ARC_ERROR) << pszName;
    EXPECT_NE(strOut.find("missing.txt"), std::string::npos);
    EXPECT_FALSE(FileExists(dir.File("bad.lzh")));
}

TEST(Archive, AFailedOrCancelledPackLeavesTheOldArchiveAlone)
{
    CTempDir dir;
    MakeTree(dir.File("src"), {{"a.txt", "a"}, {"b.bin", RandomBytes(3000000, 2)}});
    WriteFileBytes(dir.File("old.lzh"), "the previous archive");
    // A name Shift-JIS cannot hold.
    WriteFileBytes(dir.File("src/emoji😀.txt"), "x");
    std::string strOut;
    EXPECT_EQ(Pack(dir.File("old.lzh"), dir.File("src"), strOut), ARC_ERROR);
    EXPECT_NE(strOut.find("emoji"), std::string::npos) << strOut;
    EXPECT_EQ(ReadFileBytes(dir.File("old.lzh")), "the previous archive");
    ::unlink(dir.File("src/emoji😀.txt").c_str());

    std::atomic<bool> bCancel{false};
    CArchiveProgress progress;
    progress.pCancel = &bCancel;
    progress.fnProgress = [&](const std::string &, std::int64_t nDone, std::int64_t nTotal) {
        EXPECT_EQ(nTotal, 3000001);
        if (nDone > 1000000)
            bCancel = true;
    };
    CPackRequest request{dir.File("old.lzh"), dir.File("src"), {}};
    EXPECT_EQ(ArchivePack(request, strOut, &progress), ARC_CANCELLED);
    EXPECT_EQ(ReadFileBytes(dir.File("old.lzh")), "the previous archive");
    EXPECT_FALSE(HasTemporaryFiles(SnapshotTree(dir.Path())));
}

TEST(Archive, AnArchiveInsideTheFolderIsNotPackedIntoItself)
{
    CTempDir dir;
    MakeTree(dir.File("src"), {{"a.txt", "aaa"}});
    WriteFileBytes(dir.File("src/self.lzh"), "old");
    std::string strOut;
    ASSERT_EQ(Pack(dir.File("src/self.lzh"), dir.File("src"), strOut), ARC_OK) << strOut;
    EXPECT_EQ(ReadArchiveEntries(dir.File("src/self.lzh")), (CTree{{"a.txt", "aaa"}}));
}

TEST(Archive, ZipNamesFromJapaneseAndOtherSystems)
{
    CTempDir dir;
    const std::string strZip = dir.File("names.zip");
    WriteFileBytes(strZip, WriteStoredZip({
                               // Japanese Windows: Shift-JIS, no flag, '\' between folders
                               // ("ソ" and "表" end in the byte of '\').
                               {Utf8ToCp932("ソフト\\予定表.txt"), "sjis", false},
                               // The UTF-8 flag.
                               {"日本語/ファイル.txt", "utf8", true},
                               // UTF-8 without the flag, as some tools write.
                               {"ütf_日本.txt", "utf8 no flag", false},
                               // Bytes that are neither: kept as they are.
                               {"raw\x80\xff.bin", "raw", false},
                           }));
    std::string strOut;
    ASSERT_EQ(Unpack(strZip, dir.File("out"), strOut), ARC_OK) << strOut;
    EXPECT_EQ(SnapshotTree(dir.File("out")), (CTree{
                                                 {"ソフト/", ""},
                                                 {"ソフト/予定表.txt", "sjis"},
                                                 {"日本語/", ""},
                                                 {"日本語/ファイル.txt", "utf8"},
                                                 {"ütf_日本.txt", "utf8 no flag"},
                                                 {"raw\x80\xff.bin", "raw"},
                                             }));
}

TEST(Archive, HostileNamesAreRefusedAndNothingLandsOutside)
{
    CTempDir dir;
    const std::string strDest = dir.File("a/b/dest");
    const std::vector<CZipEntry> aZip = {
        {"../up.txt", "x"},
        {"ok/../../up2.txt", "x"},
        {"/tmp/wrenpad-abs.txt", "x"},
        {"C:\\windows\\drive.txt", "x"},
        {"..\\back.txt", "x"},
        {"good.txt", "good"},
        // Links out of the destination, and one that points out through
        // another link's parent.
        {"abs-link", "/etc", false, 0120777},
        {"up-link", "../../outside", false, 0120777},
        {"dot", ".", false, 0120777},
        {"via-link", "dot/../escape", false, 0120777},
        {"inside-link", "good.txt", false, 0120777},
        // Writing through a link: refused whole, not followed.
        {"inside-link/through.txt", "x"},
    };
    WriteFileBytes(dir.File("h.zip"), WriteStoredZip(aZip));
    std::string lzh;
    for (const std::string &strName : {std::string("../up3.txt"), std::string("/tmp/wrenpad-abs2.txt"),
                                       Utf8ToCp932("表/..\\..\\up4.txt"), std::string("good2.txt")})
        lzh += RawLzhEntry(strName, strName == "good2.txt" ? "good" : "x");
    lzh += RawLzhEntry("lnk|/etc/passwd", "", 0120777);
    lzh += '\0';
    WriteFileBytes(dir.File("h.lzh"), lzh);

    for (const char *pszArchive : {"h.zip", "h.lzh"}) {
        std::string strOut;
        EXPECT_EQ(Unpack(dir.File(pszArchive), strDest, strOut), ARC_INCOMPLETE) << strOut;
        EXPECT_NE(strOut.find("拒否: "), std::string::npos) << strOut;
    }
    const CTree out = SnapshotTree(strDest);
    EXPECT_EQ(out, (CTree{{"good.txt", "good"},
                          {"good2.txt", "good"},
                          {"dot", "-> ."},
                          {"inside-link", "-> good.txt"}}));
    // Only the destination's own folders exist outside it.
    EXPECT_EQ(SnapshotTree(dir.Path()).size(), out.size() + 3 + 2);
    EXPECT_FALSE(FileExists("/tmp/wrenpad-abs.txt"));
    EXPECT_FALSE(FileExists("/tmp/wrenpad-abs2.txt"));
}

TEST(Archive, ExistingFilesAndLinksOnDiskAreNeverFollowedOrSilentlyReplaced)
{
    CTempDir dir;
    const std::string strDest = dir.File("dest");
    MakeTree(strDest, {{"keep.txt", "mine"}, {"folder/", ""}});
    MakeTree(dir.File("outside"), {{"secret.txt", "untouched"}});
    ASSERT_EQ(::symlink(dir.File("outside").c_str(), dir.File("dest/out-link").c_str()), 0);
    ASSERT_EQ(::symlink(dir.File("outside/secret.txt").c_str(), dir.File("dest/file-link").c_str()), 0);
    WriteFileBytes(dir.File("e.zip"), WriteStoredZip({
                                          {"keep.txt", "theirs"},
                                          {"folder", "a file where a folder is"},
                                          {"out-link/secret.txt", "overwritten!"},
                                          {"file-link", "replaces the link, not its target"},
                                      }));
    std::string strOut;
    EXPECT_EQ(Unpack(dir.File("e.zip"), strDest, strOut), ARC_INCOMPLETE);
    EXPECT_EQ(ReadFileBytes(dir.File("dest/keep.txt")), "mine");
    EXPECT_NE(strOut.find("スキップ: keep.txt"), std::string::npos) << strOut;

    // Replacing was asked for: files are replaced, links in the way are not
    // followed, and a folder is never replaced.
    EXPECT_EQ(Unpack(dir.File("e.zip"), strDest, strOut, true), ARC_INCOMPLETE);
    EXPECT_EQ(ReadFileBytes(dir.File("dest/keep.txt")), "theirs");
    EXPECT_EQ(ReadFileBytes(dir.File("outside/secret.txt")), "untouched");
    EXPECT_EQ(ReadFileBytes(dir.File("dest/file-link")), "replaces the link, not its target");
    EXPECT_NE(strOut.find("上書き: keep.txt"), std::string::npos) << strOut;
    EXPECT_NE(strOut.find("拒否: folder"), std::string::npos) << strOut;
    EXPECT_NE(strOut.find("拒否: out-link/secret.txt"), std::string::npos) << strOut;
    EXPECT_FALSE(HasTemporaryFiles(SnapshotTree(dir.Path())));
}

TEST(Archive, AnEntryThatExpandsToAGigabyteIsRefused)
{
    // A -lh5- stream whose blocks each say "65535 times: copy 256 bytes from
    // one back" with one-code tables, so each code costs no bit at all:
    // 64 blocks of 52 bits claim a whole gigabyte.
    CBitWriter bits;
    for (int b = 0; b < 64; ++b) {
        bits.Put(65535, 16);
        bits.Put(0, 5);
        bits.Put(0, 5);    // code-length table: none
        bits.Put(0, 9);
        bits.Put(509, 9);  // every code: a 256-byte match
        bits.Put(0, 4);
        bits.Put(0, 4);    // every distance: one back
    }
    // No data for the CRC: the header's CRC is 0.
    std::string lzh = CompressedEntry("-lh5-", "bomb.txt", bits.Bytes(), "", 1u << 30);
    lzh += RawLzhEntry("after.txt", "still unpacked");
    lzh += '\0';
    CTempDir dir;
    WriteFileBytes(dir.File("bomb.lzh"), lzh);
    std::string strOut;
    EXPECT_EQ(Unpack(dir.File("bomb.lzh"), dir.File("out"), strOut), ARC_INCOMPLETE);
    EXPECT_NE(strOut.find("拒否: bomb.txt"), std::string::npos) << strOut;
    EXPECT_EQ(SnapshotTree(dir.File("out")), (CTree{{"after.txt", "still unpacked"}}));
}

TEST(Archive, EntriesThatDoNotComeBackWholeAreReportedAndNotWritten)
{
    // A CRC that does not match and a method libarchive cannot decode (the
    // -lh1- of LHarc, here with data that lhasa finds damaged too) are only
    // warnings to it: the entry must still not land as a file, while the
    // entries after it do.
    std::string strBadLzh = RawLzhEntry("crc.txt", "original");
    strBadLzh.replace(strBadLzh.size() - 8, 8, "damaged!");
    std::string lzh = OldLzhEntry(0, "-lh1-", "lharc.txt", "\x12\x34\x56", "abcdef") + strBadLzh +
                      OldLzhEntry(1, "-lh0-", "next.txt", "n", "n") + '\0';
    std::string zip = WriteStoredZip({{"crc.txt", "original"}, {"next.txt", "n"}});
    zip.replace(zip.find("original"), 8, "damaged!");
    CTempDir dir;
    WriteFileBytes(dir.File("bad.lzh"), lzh);
    WriteFileBytes(dir.File("bad.zip"), zip);
    for (const char *pszArchive : {"bad.lzh", "bad.zip"}) {
        const std::string strDest = dir.File(std::string("out-") + pszArchive);
        std::string strOut;
        EXPECT_EQ(Unpack(dir.File(pszArchive), strDest, strOut), ARC_INCOMPLETE) << strOut;
        EXPECT_NE(strOut.find("エラー: crc.txt"), std::string::npos) << strOut;
        EXPECT_EQ(strOut.find("解凍: crc.txt"), std::string::npos) << strOut;
        EXPECT_EQ(SnapshotTree(strDest), (CTree{{"next.txt", "n"}})) << pszArchive;
    }
    std::string strOut;
    Unpack(dir.File("bad.lzh"), dir.File("out-lh1"), strOut);
    EXPECT_NE(strOut.find("エラー: lharc.txt"), std::string::npos) << strOut;
    EXPECT_NE(strOut.find("2個のエントリーを解凍できませんでした"), std::string::npos) << strOut;
}

TEST(Archive, ListingShowsEveryEntryAndHidesControlCharacters)
{
    CTempDir dir;
    WriteFileBytes(dir.File("l.zip"), WriteStoredZip({
                                          {"a.txt", "12345"},
                                          {"sub/", "", false, 040755},
                                          {"evil\nfake line.txt", "x"},
                                          {"link", "a.txt", false, 0120777},
                                      }));
    std::string strOut;
    ASSERT_EQ(ArchiveList(dir.File("l.zip"), strOut), ARC_OK);
    EXPECT_NE(strOut.find("             5  "), std::string::npos) << strOut;
    EXPECT_NE(strOut.find("  sub/\n"), std::string::npos);
    EXPECT_NE(strOut.find("evil?fake line.txt\n"), std::string::npos);
    EXPECT_NE(strOut.find("link -> a.txt\n"), std::string::npos);
    EXPECT_NE(strOut.find("3個のファイル, 1個のフォルダー"), std::string::npos);

    WriteFileBytes(dir.File("broken.lzh"), "not an archive at all");
    EXPECT_EQ(ArchiveList(dir.File("broken.lzh"), strOut), ARC_ERROR);
    EXPECT_EQ(ArchiveList(dir.File("missing.zip"), strOut), ARC_ERROR);
    EXPECT_EQ(Unpack(dir.File("broken.lzh"), dir.File("o"), strOut), ARC_ERROR);
}

TEST(Archive, CancellingAnUnpackLeavesNoHalfFile)
{
    CTempDir dir;
    MakeTree(dir.File("src"), {{"a.bin", RandomBytes(1000000, 3)}, {"b.bin", RandomBytes(4000000, 4)}});
    std::string strOut;
    ASSERT_EQ(Pack(dir.File("c.zip"), dir.File("src"), strOut), ARC_OK);
    std::atomic<bool> bCancel{false};
    CArchiveProgress progress;
    progress.pCancel = &bCancel;
    progress.fnProgress = [&](const std::string &strEntry, std::int64_t, std::int64_t) {
        if (strEntry == "b.bin")
            bCancel = true;
    };
    CUnpackRequest request{dir.File("c.zip"), dir.File("out"), false};
    EXPECT_EQ(ArchiveUnpack(request, strOut, &progress), ARC_CANCELLED);
    EXPECT_EQ(SnapshotTree(dir.File("out")), (CTree{{"a.bin", ReadFileBytes(dir.File("src/a.bin"))}}));
}

TEST(Archive, EntryPathRules)
{
    std::vector<std::string> aParts;
    EXPECT_EQ(SplitEntryPath("a/./b//c.txt", aParts), ENTRY_PATH_OK);
    EXPECT_EQ(aParts, (std::vector<std::string>{"a", "b", "c.txt"}));
    EXPECT_EQ(SplitEntryPath("./", aParts), ENTRY_PATH_EMPTY);
    EXPECT_EQ(SplitEntryPath("a/../b", aParts), ENTRY_PATH_PARENT);
    EXPECT_EQ(SplitEntryPath("\\\\server\\share", aParts), ENTRY_PATH_ABSOLUTE);
    EXPECT_EQ(SplitEntryPath("c:x", aParts), ENTRY_PATH_ABSOLUTE);
    EXPECT_EQ(SplitEntryPath("..foo/bar..", aParts), ENTRY_PATH_OK);

    EXPECT_TRUE(IsLinkTargetInside({"a", "b"}, "../../c"));
    EXPECT_FALSE(IsLinkTargetInside({"a", "b"}, "../../../c"));
    EXPECT_TRUE(IsLinkTargetInside({}, "./x"));

    EXPECT_FALSE(IsValidUtf8("\xc0\xaf"));          // overlong '/'
    EXPECT_FALSE(IsValidUtf8("\xed\xa0\x80"));      // a surrogate
    EXPECT_FALSE(IsValidUtf8("\xe6\x97"));          // cut short
    EXPECT_TRUE(IsValidUtf8("\xf0\x9f\x98\x80"));
}

TEST(Archive, CommandLinesOfTheOldLibraries)
{
    CTempDir dir;
    MakeTree(dir.File("my src"), {{"he said \"hi\".txt", "q"}, {"back\\slash.txt", "b"}, {"plain.txt", "p"}});
    const std::string strArchive = dir.File("-odd \"name\".lzh");
    std::string strOut;
    // File mode, as the pack dialog builds it: several names quoted.
    const std::string strPack = std::string("u -a1 -r2 -x1 -l1 -jp1 -o2 \"") + ArchiveQuoted(strArchive) + "\" \"" +
                                ArchiveQuoted(dir.File("my src/")) + "\" " + "\"" +
                                ArchiveQuoted("he said \"hi\".txt") + "\" " + ArchiveListArg("back\\slash.txt") + " ";
    ASSERT_EQ(Unlha(strPack, strOut), ARC_OK) << strOut;
    EXPECT_EQ(ReadArchiveEntries(strArchive),
              (CTree{{"he said \"hi\".txt", "q"}, {"back\\slash.txt", "b"}}));
    const std::string strUnpack = "e -a1 -x1 -l1 -jp1 -m1 -c0 \"" + ArchiveQuoted(strArchive) + "\" \"" +
                                  ArchiveQuoted(dir.File("out/")) + "\" *.*";
    ASSERT_EQ(Unlha(strUnpack, strOut), ARC_OK) << strOut;
    EXPECT_EQ(ReadFileBytes(dir.File("out/he said \"hi\".txt")), "q");
    // Unpacking takes a '\\' for the folder separator archivers on Windows write.
    EXPECT_EQ(ReadFileBytes(dir.File("out/back/slash.txt")), "b");
    // Again: kept, unless asked to replace; kept as the user chose, the
    // unpacking is complete.
    EXPECT_EQ(Unlha(strUnpack, strOut), ARC_INCOMPLETE);
    EXPECT_EQ(Unlha("e --keep" + strUnpack.substr(1), strOut), ARC_OK) << strOut;
    EXPECT_NE(strOut.find("上書きしませんでした"), std::string::npos) << strOut;
    EXPECT_EQ(Unlha("e --overwrite" + strUnpack.substr(1), strOut), ARC_OK) << strOut;
    ASSERT_EQ(Unlha("v \"" + ArchiveQuoted(strArchive) + "\"", strOut), ARC_OK);
    EXPECT_NE(strOut.find("  back/slash.txt\n"), std::string::npos) << strOut;

    // A single bare name with a blank stays one name.
    EXPECT_EQ(ArchiveListArg("plain.txt"), "plain.txt");
    EXPECT_EQ(ArchiveListArg("two words.txt"), "\"two words.txt\"");

    std::vector<std::string> aArgs;
    EXPECT_FALSE(SplitArchiveCommandLine("v \"unclosed", aArgs));
    EXPECT_NE(Unlha("z \"a\" \"b\"", strOut), ARC_OK);
    EXPECT_NE(Unlha("e \"a.lzh\" \"b/\" *.txt", strOut), ARC_OK);
    EXPECT_NE(UnZip("-x \"only.zip\"", strOut), ARC_OK);
}
