// The hexadecimal and character dump: its layout, and files that are empty,
// unreadable or too large.
#include "filetools/hexdump.h"
#include "support/testutil.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

TEST(HexDump, LengthCountsTheWiderOffsetsOfLargeFiles)
{
    // The dump is sized once by this length: offsets from 0x1000000 on have
    // seven digits (the dump below), from 0x10000000 eight.
    EXPECT_EQ(AsciiDumpLength(0x10000010, 1) - AsciiDumpLength(0x10000000, 1), 78u);
    const std::string bytes(0x1000000 + 20, 'x');
    const std::string dump = FormatAsciiDump(bytes, "f");
    EXPECT_EQ(dump.size(), AsciiDumpLength(bytes.size(), 1));
    EXPECT_EQ(dump.capacity(), dump.size()) << "the dump grew after it was sized";
    EXPECT_NE(dump.find("\r\n1000000  78 78 "), std::string::npos);
}

TEST(HexDump, OnlyPrintableAsciiIsShownAsItself)
{
    const std::string bytes = std::string("\x1f\x20\x7e\x7f\x80\x82\xa0\xff\x00", 9) + "<>";
    EXPECT_EQ(FormatAsciiDump(bytes, "f.bin"),
              "ASCII Dumping\r\nf.bin\r\n" + std::string(74, '-')
                  + "\r\n000000  1F 20 7E 7F 80 82 A0 FF  00 3C 3E                 . ~......<>");
}

TEST(HexDump, FilesAreDumpedInBlocksWithTheirNameAsGivenOrNotAtAllWhenUnreadableOrTooLarge)
{
    CTempDir dir;
    std::string bytes;
    for (int i = 0; i < 200003; ++i)
        bytes += static_cast<char>((i * 7919) & 0xFF);
    WriteFileBytes(dir.File("big.bin"), bytes);
    std::string out = "left alone?";
    ASSERT_EQ(BuildAsciiDump(dir.File("big.bin"), "big.bin", out), DUMP_OK);
    EXPECT_EQ(out, FormatAsciiDump(bytes, "big.bin"));
    EXPECT_NE(out.find("\r\n030d40  "), std::string::npos);

    WriteFileBytes(dir.File("empty"), "");
    ASSERT_EQ(BuildAsciiDump(dir.File("empty"), "e", out), DUMP_OK);
    EXPECT_EQ(out, "ASCII Dumping\r\ne\r\n" + std::string(74, '-') + "\r\n");

    // Unreadable and oversized files give no dump.
    out = "x";
    EXPECT_EQ(BuildAsciiDump(dir.File("missing"), "m", out), DUMP_CANNOT_READ);
    EXPECT_EQ(out, "");
    EXPECT_EQ(BuildAsciiDump(dir.Path(), "d", out), DUMP_CANNOT_READ);

    // A sparse file just over the limit is refused before anything is read.
    const std::string strBig = dir.File("sparse");
    const int fd = ::open(strBig.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(ASCII_DUMP_MAX_FILE_SIZE + 1)), 0);
    ::close(fd);
    EXPECT_EQ(BuildAsciiDump(strBig, "s", out), DUMP_TOO_LARGE);
    EXPECT_EQ(out, "");
}
