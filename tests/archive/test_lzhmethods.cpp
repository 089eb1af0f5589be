// LZH methods libarchive does not decode: -lh1- (LHarc) and -lh4- unpack
// through lhasa, -lh2- and -lh3- through our own decoders, all on the same
// safe path as every other entry. The archives in tests/data/archive/lzhmethods
// come from an independent LZH writer (see MakeFixtures.java and
// MoreFixtures.java there).
#include "archive/archivetest.h"
#include "archive/lzhcontent.h"
#include "text/codec.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

// The sample archive of a method ("-lh1-" -> samplelh1.lzh) and the size of
// its first header (of level 2), after which that entry's data starts.
std::string SampleArchive(const char *pszMethod, std::size_t &nHeader)
{
    const std::string strArchive = ReadFileBytes(LzhFixture("sample" + std::string(pszMethod).substr(1, 3) + ".lzh"));
    nHeader = strArchive.size() < 2 ? 0 : LzhField(strArchive, 0, 2);
    return strArchive;
}

} // namespace

// Several blocks, weights halved, the longest matches, the farthest
// positions, every byte value, and an empty file (which the writer stores).
TEST(LzhMethods, Lh2AndLh3UnpackWhatTheirWriterPacked)
{
    const CTree expected = CLzhFixtureContent::All();
    for (const char *pszName : {"morelh2.lzh", "morelh3.lzh"}) {
        CTempDir dir;
        std::string strOut;
        EXPECT_EQ(Unpack(LzhFixture(pszName), dir.File("out"), strOut), ARC_OK) << pszName << "\n" << strOut;
        // Compared whole, not printed: the files are large.
        EXPECT_TRUE(SnapshotTree(dir.File("out")) == expected) << pszName;
    }
}

TEST(LzhMethods, DamagedOrInflatedOldMethodEntriesAreNotWritten)
{
    const std::string strSample = ReadFileBytes(LzhFixture("sample.txt"));
    for (const char *pszMethod : {"-lh1-", "-lh2-", "-lh3-"}) {
        SCOPED_TRACE(pszMethod);
        std::size_t nHeader = 0;
        const std::string strArchive = SampleArchive(pszMethod, nHeader);
        ASSERT_GT(strArchive.size(), 2000u);
        CTempDir dir;
        // A byte flipped halfway into the first entry's data.
        std::string strFlipped = strArchive;
        strFlipped[1500] = static_cast<char>(strFlipped[1500] ^ 0x40);
        WriteFileBytes(dir.File("flipped.lzh"), strFlipped);
        // The first entry's data cut short, in an entry whose header says so.
        const std::string strCut =
            CompressedEntry(pszMethod, "cut.txt", strArchive.substr(nHeader, 3000), strSample);
        WriteFileBytes(dir.File("cut.lzh"), strCut + RawLzhEntry("after.txt", "after") + '\0');
        // An entry whose header promises a gigabyte from a few bytes.
        const std::string strBomb = CompressedEntry(pszMethod, "bomb.txt", std::string(64, '\0'), "x", 1u << 30);
        WriteFileBytes(dir.File("bomb.lzh"), strBomb + RawLzhEntry("after.txt", "after") + '\0');

        std::string strOut;
        EXPECT_EQ(Unpack(dir.File("flipped.lzh"), dir.File("out1"), strOut), ARC_INCOMPLETE) << strOut;
        EXPECT_NE(strOut.find("エラー: sample.txt"), std::string::npos) << strOut;
        EXPECT_EQ(SnapshotTree(dir.File("out1")),
                  (CTree{{"dir/", ""}, {"dir/empty.txt", ""}, {"part.txt", strSample.substr(0, 5000)}}));

        EXPECT_EQ(Unpack(dir.File("cut.lzh"), dir.File("out2"), strOut), ARC_INCOMPLETE) << strOut;
        EXPECT_NE(strOut.find("エラー: cut.txt"), std::string::npos) << strOut;
        EXPECT_EQ(SnapshotTree(dir.File("out2")), (CTree{{"after.txt", "after"}}));

        EXPECT_EQ(Unpack(dir.File("bomb.lzh"), dir.File("out3"), strOut), ARC_INCOMPLETE) << strOut;
        EXPECT_NE(strOut.find("エラー: bomb.txt"), std::string::npos) << strOut;
        EXPECT_EQ(SnapshotTree(dir.File("out3")), (CTree{{"after.txt", "after"}}));
    }
}

TEST(LzhMethods, Lh2AndLh3EntriesTakeTheUsualWayOut)
{
    const std::string strSample = ReadFileBytes(LzhFixture("sample.txt"));
    for (const char *pszMethod : {"-lh2-", "-lh3-"}) {
        SCOPED_TRACE(pszMethod);
        std::size_t nHeader = 0;
        const std::string strArchive = SampleArchive(pszMethod, nHeader);
        CTempDir dir;
        // A whole stream behind a name that leaves the destination.
        WriteFileBytes(dir.File("evil.lzh"), CompressedEntry(pszMethod, "../evil.txt", strArchive.substr(nHeader),
                                                             strSample) +
                                                 '\0');
        std::string strOut;
        EXPECT_EQ(Unpack(dir.File("evil.lzh"), dir.File("out/in"), strOut), ARC_INCOMPLETE) << strOut;
        EXPECT_NE(strOut.find("拒否: ../evil.txt"), std::string::npos) << strOut;
        EXPECT_EQ(SnapshotTree(dir.File("out")), (CTree{{"in/", ""}}));

        // Progress within an entry, and a cancel there leaves no half file.
        const std::string strMore = LzhFixture("more" + std::string(pszMethod).substr(1, 3) + ".lzh");
        std::atomic<bool> bCancel{false};
        std::vector<std::int64_t> aDone;
        CArchiveProgress progress;
        progress.pCancel = &bCancel;
        progress.fnProgress = [&](const std::string &strEntry, std::int64_t nDone, std::int64_t nTotal) {
            EXPECT_LE(nDone, nTotal);
            if (strEntry == "text.txt")
                aDone.push_back(nDone);
            if (aDone.size() == 2)
                bCancel = true;
        };
        CUnpackRequest request{strMore, dir.File("cancelled"), false};
        EXPECT_EQ(ArchiveUnpack(request, strOut, &progress), ARC_CANCELLED) << strOut;
        ASSERT_EQ(aDone.size(), 2u);
        EXPECT_LT(aDone[0], aDone[1]);
        EXPECT_EQ(SnapshotTree(dir.File("cancelled")), CTree{});
    }

    // -lh3- blocks of 65535 times one literal, coded in no bits: 72 MB from
    // 6 KB is refused once past the floor of the expansion limit.
    CBitWriter bits;
    const unsigned nBlocks = 1100;
    for (unsigned i = 0; i < nBlocks; ++i) {
        bits.Put(0xFFFF, 16);
        bits.Put(0b100001000010000, 15);  // three lengths of 1: one symbol,
        bits.Put('x', 9);                 // this one
        bits.Put(0, 1);                   // positions: the fixed code
    }
    CTempDir dir;
    WriteFileBytes(dir.File("deep.lzh"), CompressedEntry("-lh3-", "deep.txt", bits.Bytes(), "x", nBlocks * 0xFFFFu) +
                                             RawLzhEntry("after.txt", "after") + '\0');
    std::string strOut;
    EXPECT_EQ(Unpack(dir.File("deep.lzh"), dir.File("out"), strOut), ARC_INCOMPLETE) << strOut;
    EXPECT_NE(strOut.find("拒否: deep.txt (展開後の大きさが異常です)"), std::string::npos) << strOut;
    EXPECT_EQ(SnapshotTree(dir.File("out")), (CTree{{"after.txt", "after"}}));
}

TEST(LzhMethods, OurLh4StreamsStayWithinTheirDictionary)
{
    // Repeats 4000 to 8000 bytes back: an -lh5- stream would reach them, an
    // -lh4- one must not, or both decoders give other bytes back.
    std::string strText;
    for (int i = 0; i < 3000; ++i)
        strText += Utf8ToCp932("第" + std::to_string(i % 13) + "表 ") + std::to_string(i * 7919 % 100003) + "\r\n";
    strText += strText.substr(0, 20000);
    const std::string strPacked = LhCompress(strText, ELhStream::Lh4);
    ASSERT_LT(strPacked.size(), strText.size() / 2);
    CTempDir dir;
    WriteFileBytes(dir.File("lh4.lzh"), CompressedEntry("-lh4-", "lh4.txt", strPacked, strText) + '\0');
    std::string strOut;
    EXPECT_EQ(Unpack(dir.File("lh4.lzh"), dir.File("out"), strOut), ARC_OK) << strOut;
    EXPECT_TRUE(ReadFileBytes(dir.File("out/lh4.txt")) == strText);
    const CToolResult lha = RunProgram({"lha", "tq", dir.File("lh4.lzh")});
    EXPECT_EQ(lha.nStatus, 0) << lha.strOut << lha.strErr;
}
