// The LZH writer: what it writes must come back byte for byte through two
// independent readers, libarchive and lhasa's lha, for data that drives the
// compressor into each of its corners, and with the names Japanese users give.
#include "archive/archivetest.h"
#include "text/codec.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

struct CCase
{
    std::string strName;
    std::string strData;
    const char *pszMethod;  // expected, or null when either may do
};

std::vector<CCase> Cases()
{
    std::vector<CCase> aCases;
    aCases.push_back({"empty", "", "-lh0-"});
    aCases.push_back({"one", "a", "-lh0-"});
    aCases.push_back({"three", "abc", "-lh0-"});
    aCases.push_back({"text", TextLike(300000, 1), "-lh5-"});
    for (std::size_t n : {8191u, 8192u, 8193u, 65536u + 7u})
        aCases.push_back({"text" + std::to_string(n), TextLike(n, static_cast<unsigned>(n)), "-lh5-"});
    // Blocks made of one code only (a single long match repeated) use the
    // short form of every table.
    aCases.push_back({"zeros", std::string(20u << 20, '\0'), "-lh5-"});
    aCases.push_back({"random", RandomBytes(100000, 2), "-lh0-"});
    // Incompressible after the first megabyte's probe.
    aCases.push_back({"random-big", RandomBytes(3u << 20, 3), "-lh0-"});
    // Repeats just inside and just outside the dictionary.
    for (std::size_t nGap : {8190u, 8191u, 8192u, 8200u}) {
        const std::string strChunk = RandomBytes(nGap, static_cast<unsigned>(nGap));
        aCases.push_back({"repeat" + std::to_string(nGap), strChunk + strChunk + strChunk, nullptr});
    }
    // Many short matches at every distance: the distance table fills up.
    aCases.push_back({"alphabet4", RandomBytes(500000, 4, 4), "-lh5-"});
    aCases.push_back({"mixed", TextLike(200000, 5) + RandomBytes(50000, 6) + TextLike(200000, 7), "-lh5-"});
    std::string strAllBytes;
    for (int k = 0; k < 300; ++k)
        for (int b = 0; b < 256; ++b)
            strAllBytes += static_cast<char>((b * 7 + k) & 0xFF);
    aCases.push_back({"allbytes", strAllBytes, nullptr});
    return aCases;
}

// Adds strData under entry, read from a file as the packer reads it.
void AddBytes(CLzhWriter &writer, const CTempDir &dir, const CLzhEntry &entry, const std::string &strData)
{
    WriteFileBytes(dir.File("in"), strData);
    const int in = ::open(dir.File("in").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(writer.AddFile(entry, in), LZH_OK) << entry.strName;
    ::close(in);
}

void PackCases(const CTempDir &dir, const std::string &strArchive, const std::vector<CCase> &aCases)
{
    const int fd = ::open(strArchive.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    CLzhWriter writer(fd);
    for (const CCase &c : aCases) {
        AddBytes(writer, dir, CLzhEntry{c.strName, 1700000000}, c.strData);
        EXPECT_EQ(writer.GetLastOriginal(), c.strData.size());
        if (c.pszMethod) {
            EXPECT_EQ(writer.GetLastMethod(), c.pszMethod) << c.strName;
        }
        if (writer.GetLastMethod() == "-lh5-") {
            EXPECT_LT(writer.GetLastPacked(), c.strData.size()) << c.strName;
        }
    }
    ASSERT_EQ(writer.Finish(), LZH_OK);
    ::close(fd);
}

// A name of n bytes below "long/" whose parts stay within the file system's limit.
std::string LongName(std::size_t n)
{
    return "long/" + std::string(n / 2, 'd') + "/" + std::string(n - n / 2, 'f');
}

} // namespace

TEST(LzhWriter, EveryKindOfDataComesBackThroughLibarchiveAndLhasa)
{
    CTempDir dir;
    const std::vector<CCase> aCases = Cases();
    const std::string strArchive = dir.File("t.lzh");
    PackCases(dir, strArchive, aCases);

    CTree expected;
    for (const CCase &c : aCases)
        expected[c.strName] = c.strData;
    std::string strError;
    EXPECT_TRUE(ReadArchiveEntries(strArchive, &strError) == expected);
    EXPECT_EQ(strError, "");
    ExpectLhaAgrees(strArchive, dir.File("x"), expected);
}

TEST(LzhWriter, TheSameInputAlwaysGivesTheSameBytes)
{
    // However the input is handed over, blocks are cut at the same places:
    // the compressed bytes depend on the data alone.
    const std::string strText = TextLike(400000, 9) + std::string(300000, 'z') + TextLike(100000, 10);
    std::string aOut[2];
    const std::size_t aPiece[2] = {strText.size(), 777};
    for (int k = 0; k < 2; ++k) {
        CStringSink sink;
        CLh5Encoder encoder(sink);
        for (std::size_t i = 0; i < strText.size(); i += aPiece[k])
            ASSERT_TRUE(encoder.Write(strText.data() + i, std::min(aPiece[k], strText.size() - i)));
        ASSERT_TRUE(encoder.Finish());
        EXPECT_EQ(encoder.GetOutputSize(), sink.s.size());
        aOut[k] = sink.s;
    }
    EXPECT_EQ(aOut[0], aOut[1]);
    EXPECT_LT(aOut[0].size(), strText.size() / 3);
}

TEST(LzhWriter, HeadersCarryShiftJisNamesFoldersModesAndTimes)
{
    ExpectLhaInstalled();
    CTempDir dir;
    const std::string strArchive = dir.File("names.lzh");
    const int fd = ::open(strArchive.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    CLzhWriter writer(fd);
    // "表" and "ソ" end in 0x5C, the byte of '\'.
    const std::string strFolder = Utf8ToCp932("ソフト表");
    const std::string strFile = Utf8ToCp932("ソフト表/予定表.txt");
    CLzhEntry folder{strFolder + "/", 1600000000, 0750};
    ASSERT_EQ(writer.AddFolder(folder), LZH_OK);
    CLzhEntry empty{Utf8ToCp932("空のフォルダ") + "/", 1600000000, 0755};
    ASSERT_EQ(writer.AddFolder(empty), LZH_OK);
    AddBytes(writer, dir, CLzhEntry{strFile, 1650000000, 0600}, "予定");
    // Names of every length from 150 to 450 bytes: some header sizes end in
    // a zero byte and need the padding byte.
    bool bPadded = false;
    for (std::size_t n = 150; n <= 450; ++n) {
        CLzhEntry entry{LongName(n), 1650000000, 0644};
        bPadded = bPadded || (BuildLzhHeader("-lh0-", entry, 0, 0, 0).size() % 256 == 1);
        AddBytes(writer, dir, entry, std::to_string(n));
    }
    EXPECT_TRUE(bPadded);
    ASSERT_EQ(writer.Finish(), LZH_OK);
    ::close(fd);

    const CTree tree = ReadArchiveEntries(strArchive);
    EXPECT_EQ(tree.size(), 3u + 301u);
    EXPECT_EQ(tree.count("ソフト表/"), 1u);
    EXPECT_EQ(tree.count("空のフォルダ/"), 1u);
    ASSERT_EQ(tree.count("ソフト表/予定表.txt"), 1u);
    EXPECT_EQ(tree.at("ソフト表/予定表.txt"), "予定");
    EXPECT_EQ(tree.at(LongName(333)), "333");

    // lhasa writes the names as stored, in Shift-JIS, and keeps modes and times.
    ASSERT_EQ(::mkdir(dir.File("x").c_str(), 0755), 0);
    ASSERT_EQ(RunProgram({"lha", "xq", strArchive}, dir.File("x")).nStatus, 0);
    const std::string strOut = dir.File("x/" + strFile);
    EXPECT_EQ(ReadFileBytes(strOut), "予定");
    struct stat st;
    ASSERT_EQ(::stat(strOut.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(st.st_mtime, 1650000000);
    ASSERT_EQ(::stat(dir.File("x/" + Utf8ToCp932("空のフォルダ")).c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
}
