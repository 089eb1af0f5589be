// Loading large and awkward files: separators at every kind of block
// boundary, sources of unknown size, and large texts cut in two halves.
#include "support/testutil.h"
#include "text/bufferutil.h"
#include "text/codedfile.h"
#include "text/filehandle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// The lines a file holds in a mode, split the simple way.
std::vector<std::string> SplitLines(const std::string &strBytes, int nMode)
{
    const std::string sep(LineEndSeparator(nMode));
    std::vector<std::string> lines;
    std::size_t nStart = 0;
    for (std::size_t nAt; (nAt = strBytes.find(sep, nStart)) != std::string::npos; nStart = nAt + sep.size())
        lines.push_back(strBytes.substr(nStart, nAt - nStart));
    lines.push_back(strBytes.substr(nStart));
    return lines;
}

// Compares the buffer's lines with the simple split; stops at the first difference.
::testing::AssertionResult HoldsLines(const CCrystalTextBuffer &buffer, const std::vector<std::string> &expected)
{
    if (buffer.GetLineCount() != static_cast<int>(expected.size()))
        return ::testing::AssertionFailure() << buffer.GetLineCount() << " lines instead of " << expected.size();
    for (int i = 0; i < buffer.GetLineCount(); ++i) {
        if (buffer.GetLine(i) != expected[static_cast<std::size_t>(i)])
            return ::testing::AssertionFailure() << "line " << i << " differs";
    }
    return ::testing::AssertionSuccess();
}

std::string RandomLine(std::mt19937 &rng, std::size_t nMax)
{
    // Lone CRs and LFs and double-byte characters among the letters.
    static const char alphabet[] = "abc \x82\xA0\x5C\r\n\t";
    std::string s(rng() % (nMax + 1), ' ');
    for (char &c : s)
        c = alphabet[rng() % (sizeof alphabet - 1)];
    return s;
}

} // namespace

TEST(FileLoad, SeparatorsOnEveryBlockBoundary)
{
    // Whatever size the blocks are read in, a power of two up to 1 MB: a
    // separator split at each such boundary, a lone CR ending a block, and
    // small files of each kind, compared with a plain split in every mode.
    CTempDir dir;
    std::mt19937 rng(99);
    for (int nMode : {LINEEND_CRLF, LINEEND_LF, LINEEND_CR}) {
        const std::string sep(LineEndSeparator(nMode));
        std::string bytes;
        for (std::size_t nBoundary = 1 << 12; nBoundary <= (1u << 20); nBoundary *= 2) {
            while (bytes.size() + sep.size() + 200 < nBoundary - 1)
                bytes += RandomLine(rng, 150) + sep;
            bytes += std::string(nBoundary - 1 - bytes.size(), 'x') + sep;  // the separator's first byte ends the block
            bytes += RandomLine(rng, 60) + "\r" + RandomLine(rng, 60) + sep;
            const std::size_t nLoneCR = nBoundary + nBoundary / 2;
            bytes += std::string(nLoneCR - 1 - bytes.size(), 'y') + "\ry" + sep;
        }
        bytes += "no final separator";
        WriteFileBytes(dir.File("f"), bytes);
        CCrystalTextBuffer buffer;
        ASSERT_TRUE(buffer.LoadFromFile(dir.File("f"), nMode));
        EXPECT_TRUE(HoldsLines(buffer, SplitLines(bytes, nMode))) << nMode;
        ASSERT_TRUE(buffer.SaveToFile(dir.File("out")));
        EXPECT_TRUE(ReadFileBytes(dir.File("out")) == bytes) << nMode;
    }
    for (const std::string &bytes : {std::string(), std::string("\r"), std::string("\r\r\r"), std::string("\n\n"),
                                     std::string("\r\n\r\n"), std::string("a\rb\rc"), std::string("last")}) {
        WriteFileBytes(dir.File("f"), bytes);
        CCrystalTextBuffer buffer;
        ASSERT_TRUE(buffer.LoadFromFile(dir.File("f")));
        EXPECT_TRUE(HoldsLines(buffer, SplitLines(bytes, buffer.GetLineEndMode()))) << bytes.size();
        ASSERT_TRUE(buffer.SaveToFile(dir.File("out")));
        EXPECT_EQ(ReadFileBytes(dir.File("out")), bytes);
    }
}

TEST(FileLoad, SourceOfUnknownSizeLoadsWhole)
{
    // A pipe tells no size, so the text outgrows block after block; lines
    // that cross from one block into the next, one of them longer than
    // several blocks, come out whole.
    CTempDir dir;
    const std::string fifo = dir.File("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::mt19937 rng(5);
    std::string bytes;
    while (bytes.size() < 300000)
        bytes += RandomLine(rng, 3000) + "\n";
    bytes += std::string(700000, 'z') + "\n" + RandomLine(rng, 100);
    std::thread writer([&] {
        const int fd = ::open(fifo.c_str(), O_WRONLY);
        for (std::size_t n = 0; fd >= 0 && n < bytes.size();) {
            const ssize_t r = ::write(fd, bytes.data() + n, std::min<std::size_t>(bytes.size() - n, 7000));
            if (r <= 0)
                break;
            n += static_cast<std::size_t>(r);
        }
        ::close(fd);
    });
    CCrystalTextBuffer buffer;
    const bool bLoaded = buffer.LoadFromFile(fifo, LINEEND_LF);
    writer.join();
    ASSERT_TRUE(bLoaded);
    EXPECT_TRUE(HoldsLines(buffer, SplitLines(bytes, LINEEND_LF)));
}

TEST(FileLoad, LargeTextInMemoryCutInTwoHalves)
{
    // A large text is cut on two threads from the first separator after its
    // middle. Whatever sits there (a CR LF with either byte in the middle, a
    // lone CR or LF, no separator up to the end, the text ending right after
    // it) and in whichever mode, the lines are those of a plain split, and
    // the mode is the one the first break decides, or the one asked for.
    std::mt19937 rng(17);
    std::string filler;
    while (filler.size() < (1u << 20) + 4096) {
        std::string line = RandomLine(rng, 90);
        std::replace_if(line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, '-');
        filler += line + "\r\n";
    }
    const std::size_t nSize = (1u << 20) + 4000;
    const std::size_t nMiddle = nSize / 2;
    struct CCase
    {
        std::size_t nAt;      // where the bytes go
        std::string strBytes;
        bool bCutTail;        // the text ends after them
    };
    const CCase cases[] = {
        {nMiddle, "\r\n", false},      {nMiddle - 1, "\r\n", false}, {nMiddle, "x\rx\nx\r\n", false},
        {nMiddle - 1, "\r\r\n", false}, {nMiddle, "\r\n", true},      {nMiddle, "\r", true},
        {nMiddle, "tail without a break", true},
    };
    // Each half is read in blocks of 256 KB: a CR LF also stands across the
    // first block's end in either half. Detected, the same text is also
    // loaded from a file as Shift-JIS, which is cut where it was read.
    constexpr std::size_t BLOCK = 256 * 1024;
    CTempDir dir;
    for (const int nMode : {-1, int(LINEEND_LF), int(LINEEND_CR)}) {
        for (const CCase &c : cases) {
            std::string bytes = filler.substr(0, nSize);
            bytes.replace(BLOCK - 1, 2, "\r\n");
            bytes.replace(nMiddle + 2 + BLOCK - 1, 2, "\r\n");
            bytes.replace(c.nAt, c.strBytes.size(), c.strBytes);
            if (c.bCutTail)
                bytes.resize(c.nAt + c.strBytes.size());
            CCrystalTextBuffer buffer;
            ASSERT_TRUE(buffer.LoadFromMemory(bytes, nMode));
            const int nExpectedMode = nMode < 0 ? LINEEND_CRLF : nMode;
            EXPECT_EQ(buffer.GetLineEndMode(), nExpectedMode);
            EXPECT_TRUE(HoldsLines(buffer, SplitLines(bytes, nExpectedMode))) << nMode << " at " << c.nAt;
            if (nMode < 0) {
                WriteFileBytes(dir.File("f"), bytes);
                CCrystalTextBuffer fromFile;
                CFileCodeState state;
                ASSERT_TRUE(LoadCodedFile(fromFile, dir.File("f"), state));
                EXPECT_EQ(state.eCode, ETextCode::Sjis);
                EXPECT_TRUE(HoldsLines(fromFile, SplitLines(bytes, LINEEND_CRLF))) << "file, at " << c.nAt;
            }
        }
    }
    // No break in the first half: the mode comes from a break after it.
    std::string late(nSize, 'a');
    late.replace(nMiddle + 10, 1, "\n");
    late.replace(nSize - 100, 2, "\r\n");
    CCrystalTextBuffer buffer;
    ASSERT_TRUE(buffer.LoadFromMemory(late));
    EXPECT_EQ(buffer.GetLineEndMode(), LINEEND_LF);
    EXPECT_TRUE(HoldsLines(buffer, SplitLines(late, LINEEND_LF)));
}

TEST(FileLoad, AFileChangedSinceItsHalvesWereFoundIsNotLoadedAsCut)
{
    // The halves are found in the bytes as they were; read again, the file
    // has lost the separator the first half ends with, or has become shorter.
    // Cut as found, bytes would go missing between the halves: the load
    // fails with EAGAIN instead and leaves no lines. As found, it loads.
    CTempDir dir;
    std::string before;
    while (before.size() < (2u << 20))
        before += std::string(70, 'a') + "\x82\xA0\r\n";
    CCrystalTextBuffer::CHalves halves;
    ASSERT_TRUE(CCrystalTextBuffer::FindHalves(before, -1, halves));
    std::string moved = before;
    moved[halves.nSecondAt - 2] = 'x';
    for (const std::string &now : {moved, before.substr(0, before.size() - 10), before}) {
        WriteFileBytes(dir.File("f"), now);
        const CFileHandle file = CFileHandle::Open(dir.File("f"), O_RDONLY);
        CCrystalTextBuffer buffer;
        errno = 0;
        const bool bLoaded = buffer.LoadFileHalves(file.Get(), halves, before.size());
        EXPECT_EQ(bLoaded, now == before) << now.size();
        if (bLoaded)
            EXPECT_TRUE(HoldsLines(buffer, SplitLines(before, LINEEND_CRLF)));
        else
            EXPECT_EQ(std::make_pair(errno, buffer.GetLineCount()), std::make_pair(EAGAIN, 0));
    }
}
