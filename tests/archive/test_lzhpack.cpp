// Packing LZH archives on several threads: the archive must not depend on
// how the work was shared, segments must join into one valid stream, and
// matches running over block and segment boundaries must decode.
#include "archive/archivetest.h"
#include "archive/lzhpackjobs.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace {

// A chunk repeated without a break: every position after the first chunk
// matches the one nPeriod bytes back, so matches run through every block
// and segment boundary.
std::string Periodic(std::size_t n, std::size_t nPeriod, unsigned nSeed)
{
    const std::string strChunk = RandomBytes(nPeriod, nSeed);
    std::string s;
    while (s.size() < n)
        s += strChunk;
    s.resize(n);
    return s;
}

std::string Pack(const std::string &strArchive, const std::string &strBase, int nThreads)
{
    CPackRequest request{strArchive, strBase, {}, nThreads};
    std::string strOut;
    EXPECT_EQ(ArchivePack(request, strOut), ARC_OK) << strOut;
    return ReadFileBytes(strArchive);
}

} // namespace

TEST(LzhPack, TheArchiveIsTheSameBytesWhateverTheNumberOfThreads)
{
    CTempDir dir;
    CTree tree;
    // Many small files, so several are in flight at once; files of several
    // segments, one compressible and one not; empty files and folders.
    for (int i = 0; i < 24; ++i)
        tree["src/f" + std::to_string(i) + ".h"] = TextLike(100 + 397 * static_cast<std::size_t>(i), i);
    tree["src/"] = "";
    tree["empty/"] = "";
    tree["src/empty.txt"] = "";
    tree["big.txt"] = TextLike(LH5_SEGMENT + 12345, 77);
    tree["noise.bin"] = RandomBytes(LH5_SEGMENT + 5, 78);
    MakeTree(dir.File("in"), tree);

    const std::string strOne = Pack(dir.File("one.lzh"), dir.File("in"), 1);
    EXPECT_EQ(Pack(dir.File("five.lzh"), dir.File("in"), 5), strOne);

    std::string strError;
    EXPECT_EQ(ReadArchiveEntries(dir.File("five.lzh"), &strError), tree);
    EXPECT_EQ(strError, "");
    ExpectLhaAgrees(dir.File("five.lzh"), dir.File("x"), tree);
    // The noise went in stored, the text compressed.
    const CToolResult list = RunProgram({"lha", "v", dir.File("five.lzh")});
    EXPECT_NE(list.strOut.find("lh0"), std::string::npos) << list.strOut;
    EXPECT_LT(strOne.size(), tree["noise.bin"].size() + tree["big.txt"].size() / 2);

    // The writer packing a file alone codes it the same way: one encoder.
    struct stat st;
    ASSERT_EQ(::stat(dir.File("in/big.txt").c_str(), &st), 0);
    const int fd = ::open(dir.File("alone.lzh").c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    CLzhWriter writer(fd);
    const int in = ::open(dir.File("in/big.txt").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(writer.AddFile({"big.txt", st.st_mtime, st.st_mode & 0777}, in), LZH_OK);
    ::close(in);
    ASSERT_EQ(writer.Finish(), LZH_OK);
    ::close(fd);
    const std::string strAlone = ReadFileBytes(dir.File("alone.lzh"));
    ASSERT_GT(strAlone.size(), 1u);
    EXPECT_NE(strOne.find(strAlone.substr(0, strAlone.size() - 1)), std::string::npos);
}

TEST(LzhPack, SegmentBitsJoinIntoOneStream)
{
    // Bit strings of every length mod 8 joined in order must equal their
    // plain concatenation, whatever the alignment each one starts at.
    std::mt19937 rng(9);
    std::vector<int> aExpected;
    CStringSink sink;
    CLhBitJoiner joiner(sink);
    for (int k = 0; k < 200; ++k) {
        CLhBits bits;
        bits.nBits = rng() % (k % 10 == 0 ? 2000 : 40);
        bits.aBytes.resize((bits.nBits + 7) / 8);
        for (unsigned char &b : bits.aBytes)
            b = static_cast<unsigned char>(rng());
        // Bits past the end must not leak into the stream.
        if (bits.nBits % 8 != 0)
            bits.aBytes.back() |= static_cast<unsigned char>(0xFF >> (bits.nBits % 8));
        for (std::uint64_t i = 0; i < bits.nBits; ++i)
            aExpected.push_back((bits.aBytes[i / 8] >> (7 - i % 8)) & 1);
        ASSERT_TRUE(joiner.Append(bits));
    }
    ASSERT_TRUE(joiner.Finish());
    ASSERT_EQ(sink.s.size(), (aExpected.size() + 7) / 8);
    EXPECT_EQ(joiner.GetOutputSize(), sink.s.size());
    for (std::size_t i = 0; i < sink.s.size() * 8; ++i) {
        const int nBit = (static_cast<unsigned char>(sink.s[i / 8]) >> (7 - i % 8)) & 1;
        ASSERT_EQ(nBit, i < aExpected.size() ? aExpected[i] : 0) << "bit " << i;
    }
}

TEST(LzhPack, AFileShorterThanWhenFoundIsAReadErrorAndWorkersStopWhenLeft)
{
    CTempDir dir;
    WriteFileBytes(dir.File("a"), Periodic(3 * LH5_SEGMENT, 1000, 1));
    WriteFileBytes(dir.File("b"), "short now");
    {
        CLzhPackPipeline pipeline({{dir.File("a"), 3 * std::int64_t(LH5_SEGMENT)}, {dir.File("b"), 5000}}, 2);
        ASSERT_EQ(pipeline.SegmentCount(0), 3u);
        ASSERT_EQ(pipeline.SegmentCount(1), 1u);
        for (int k = 0; k < 3; ++k) {
            const CLzhPackPiece &piece = pipeline.Take();
            EXPECT_EQ(piece.result, LZH_OK);
            EXPECT_TRUE(piece.bCoded);
            EXPECT_EQ(piece.nLength, LH5_SEGMENT);
            EXPECT_EQ(piece.nHistory, k == 0 ? 0 : LH5_HISTORY);
        }
        EXPECT_EQ(pipeline.Take().result, LZH_READ_FAILED);
    }
    // Leaving with segments still queued or being coded joins the workers.
    CLzhPackPipeline pipeline({{dir.File("a"), 3 * std::int64_t(LH5_SEGMENT)}}, 4);
    EXPECT_EQ(pipeline.Take().result, LZH_OK);

    // Through the packer (on this thread alone, so the second file is read
    // only after the first is done): the message names the file, and no
    // archive is left.
    MakeTree(dir.File("in"), {{"a.txt", Periodic(2 * LH5_SEGMENT, 1000, 2)}, {"b.txt", std::string(5000, 'b')}});
    CPackRequest request{dir.File("out.lzh"), dir.File("in"), {}, 1};
    CArchiveProgress progress;
    progress.fnProgress = [&](const std::string &, std::int64_t nDone, std::int64_t) {
        if (nDone >= std::int64_t(LH5_SEGMENT)) {
            ASSERT_EQ(::truncate(dir.File("in/b.txt").c_str(), 10), 0);
        }
    };
    std::string strOut;
    EXPECT_EQ(ArchivePack(request, strOut, &progress), ARC_ERROR);
    EXPECT_NE(strOut.find("b.txt: 読み込めません"), std::string::npos) << strOut;
    EXPECT_FALSE(FileExists(dir.File("out.lzh")));
}
