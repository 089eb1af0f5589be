// Image sizes from headers: real images made by ImageMagick in the sizes
// asked for, headers made by hand for the corners of each format, and
// broken and hostile files, which must give no size without reading past
// their end or looping.
#include "filetools/imagesize.h"
#include "support/testutil.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <random>

namespace {

struct CMadeImage
{
    const char *pszName;
    std::vector<std::string> options;  // for convert, before the output file
    int nWidth;
    int nHeight;
    const char *pszFormat = "";  // the format convert is told to write, when not the name's
};

// Images of each kind the reader knows, in odd sizes.
const CMadeImage MADE_IMAGES[] = {
    {"plain.png", {}, 37, 23},
    {"wide.png", {}, 4000, 3},
    {"anim.gif", {}, 41, 17},
    {"baseline.jpg", {}, 65, 33},
    {"progressive.jpg", {"-interlace", "JPEG"}, 50, 70},
    {"commented.jpg", {"-set", "comment", "a comment segment before the frame"}, 19, 300},
    {"grey.jpg", {"-colorspace", "Gray"}, 8, 8},
    {"v3.bmp", {}, 31, 9, "BMP3:"},
    {"os2.bmp", {}, 13, 11, "BMP2:"},
    {"v5.bmp", {"-alpha", "on"}, 7, 5},
    {"lossy.webp", {}, 123, 45},
    {"lossless.webp", {"-define", "webp:lossless=true"}, 33, 77},
    {"alpha.webp", {"-alpha", "on", "-channel", "A", "-evaluate", "set", "50%"}, 21, 12},
};

// Makes each image with convert.
class ImageSize : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_pDir = new CTempDir;
        for (const CMadeImage &image : MADE_IMAGES) {
            const std::string strPath = s_pDir->File(image.pszName);
            std::vector<std::string> args = {"convert", "-size",
                                              std::to_string(image.nWidth) + "x" + std::to_string(image.nHeight),
                                              "xc:#3080c0"};
            args.insert(args.end(), image.options.begin(), image.options.end());
            args.push_back(image.pszFormat + strPath);
            const CToolResult made = RunProgram(args);
            ASSERT_EQ(made.nStatus, 0) << image.pszName << ": " << made.strErr;
        }
    }

    static void TearDownTestSuite()
    {
        delete s_pDir;
        s_pDir = nullptr;
    }

    static inline CTempDir *s_pDir = nullptr;
};

// Little- and big-endian numbers as header bytes.
std::string Le16(unsigned n) { return std::string{static_cast<char>(n & 0xFF), static_cast<char>((n >> 8) & 0xFF)}; }
std::string Le32(unsigned n) { return Le16(n & 0xFFFF) + Le16(n >> 16); }
std::string Be16(unsigned n) { return std::string{static_cast<char>((n >> 8) & 0xFF), static_cast<char>(n & 0xFF)}; }
std::string Be32(unsigned n) { return Be16(n >> 16) + Be16(n & 0xFFFF); }

std::string Png(unsigned nWidth, unsigned nHeight)
{
    return std::string("\x89PNG\r\n\x1A\n", 8) + Be32(13) + "IHDR" + Be32(nWidth) + Be32(nHeight)
           + std::string("\x08\x02\0\0\0", 5);
}

std::string Bmp(unsigned nHeader, unsigned nWidth, unsigned nHeight)
{
    std::string s = "BM" + Le32(0) + Le32(0) + Le32(0) + Le32(nHeader);
    if (nHeader == 12)
        s += Le16(nWidth) + Le16(nHeight);
    else
        s += Le32(nWidth) + Le32(nHeight) + std::string(nHeader - 12, '\0');
    return s;
}

std::string JpegSegment(unsigned char cMarker, const std::string &strBody)
{
    return std::string("\xFF", 1) + static_cast<char>(cMarker) + Be16(static_cast<unsigned>(strBody.size()) + 2)
           + strBody;
}

std::string JpegFrame(unsigned char cMarker, unsigned nWidth, unsigned nHeight)
{
    return JpegSegment(cMarker, std::string("\x08", 1) + Be16(nHeight) + Be16(nWidth) + std::string("\x01\x01\x11\x00", 4));
}

const std::string JPEG_START("\xFF\xD8", 2);

// A size as "format width x height", for comparing the whole of it.
std::string Dims(const CImageSize &size)
{
    return std::to_string(size.eFormat) + " " + std::to_string(size.nWidth) + "x" + std::to_string(size.nHeight);
}

} // namespace

TEST_F(ImageSize, EveryCutOfARealImageGivesNoSizeOrItsSize)
{
    for (const CMadeImage &image : MADE_IMAGES) {
        const std::string strBytes = ReadFileBytes(s_pDir->File(image.pszName));
        for (std::size_t n = 0; n <= std::min<std::size_t>(strBytes.size(), 1024); ++n) {
            // A copy of exactly n bytes, so that the sanitizer sees a read past it.
            const std::unique_ptr<char[]> pCut(new char[n ? n : 1]);
            std::copy_n(strBytes.data(), n, pCut.get());
            const CImageSize size = ReadImageSize(std::string_view(pCut.get(), n));
            EXPECT_TRUE(size.eFormat == IMAGE_UNKNOWN
                        || Dims(size) == Dims({size.eFormat, image.nWidth, image.nHeight}))
                << image.pszName << " cut at " << n << ": " << Dims(size);
        }
    }
}

TEST(ImageHeaders, TheCornersOfEachFormat)
{
    EXPECT_EQ(ReadImageSize(Png(1, 1)).nWidth, 1);
    EXPECT_EQ(ReadImageSize(Png(0x7FFFFFFF, 2)).nWidth, 0x7FFFFFFF);
    EXPECT_EQ(ReadImageSize(Png(0, 5)).eFormat, IMAGE_UNKNOWN);
    EXPECT_EQ(ReadImageSize(Png(0x80000000u, 5)).eFormat, IMAGE_UNKNOWN);
    // IHDR must be the first chunk.
    std::string strPng = Png(3, 4);
    strPng.replace(12, 4, "tEXt");
    EXPECT_EQ(ReadImageSize(strPng).eFormat, IMAGE_UNKNOWN);

    EXPECT_EQ(ReadImageSize("GIF89a" + Le16(640) + Le16(480)).nHeight, 480);
    EXPECT_EQ(ReadImageSize("GIF87a" + Le16(0) + Le16(480)).eFormat, IMAGE_UNKNOWN);

    // Rows stored top down have a negative height.
    EXPECT_EQ(Dims(ReadImageSize(Bmp(40, 10, static_cast<unsigned>(-20)))), Dims({IMAGE_BMP, 10, 20}));
    EXPECT_EQ(ReadImageSize(Bmp(12, 65535, 2)).nWidth, 65535);
    EXPECT_EQ(ReadImageSize(Bmp(124, 5, 6)).nHeight, 6);
    EXPECT_EQ(ReadImageSize(Bmp(40, 10, 0x80000000u)).eFormat, IMAGE_UNKNOWN);
    EXPECT_EQ(ReadImageSize(Bmp(40, static_cast<unsigned>(-10), 5)).eFormat, IMAGE_UNKNOWN);
    EXPECT_EQ(ReadImageSize(Bmp(40, 10, 0)).eFormat, IMAGE_UNKNOWN);
    EXPECT_EQ(ReadImageSize("BM" + Le32(0) + Le32(0) + Le32(0) + Le32(0x7FFFFFFF) + std::string(16, '\x01')).eFormat,
              IMAGE_UNKNOWN);

    // The largest canvas the extended WebP header holds.
    const std::string strVp8x = "RIFF" + Le32(30) + "WEBPVP8X" + Le32(10) + std::string(4, '\0')
                                + std::string("\xFF\xFF\xFF\xFF\xFF\xFF", 6);
    EXPECT_EQ(Dims(ReadImageSize(strVp8x)), Dims({IMAGE_WEBP, 1 << 24, 1 << 24}));
    // A lossy frame that is not a key frame has no size in it.
    const std::string strVp8 = "RIFF" + Le32(30) + "WEBPVP8 " + Le32(10) + std::string("\x01\x00\x00\x9D\x01\x2A", 6)
                               + Le16(100) + Le16(50);
    EXPECT_EQ(ReadImageSize(strVp8).eFormat, IMAGE_UNKNOWN);
    EXPECT_EQ(ReadImageSize("RIFF" + Le32(30) + "WAVEfmt " + std::string(20, '\0')).eFormat, IMAGE_UNKNOWN);
}

TEST(ImageHeaders, JpegSegmentsAreWalkedByTheirLengthsWithinLimits)
{
    const std::string strFrame = JpegFrame(0xC2, 300, 200);
    // Fill bytes, a restart marker and stray bytes between segments are passed over.
    EXPECT_EQ(Dims(ReadImageSize(JPEG_START + JpegSegment(0xE0, "JFIF") + "\xFF\xFF\xFF\xD0" + "junk"
                          + JpegSegment(0xDB, std::string(65, '\x10')) + strFrame)),
              Dims({IMAGE_JPEG, 300, 200}));
    // A table segment whose body holds what looks like a frame marker.
    EXPECT_EQ(ReadImageSize(JPEG_START + JpegSegment(0xC4, std::string("\xFF\xC0\x00\x11\x08\x00\x01\x00\x01", 9)) + strFrame).nWidth, 300);

    // A height given only later in the scan, a scan before any frame, the
    // end of the image, lengths that would not move on, a cut frame, and a
    // segment that claims to run past the end of the file.
    for (const std::string &strBad : {JPEG_START + JpegFrame(0xC0, 300, 0), JPEG_START + JpegSegment(0xDA, "scan") + strFrame,
                                      JPEG_START + "\xFF\xD9" + strFrame, JPEG_START + std::string("\xFF\xFE\x00\x00", 4) + strFrame,
                                      JPEG_START + std::string("\xFF\xFE\x00\x01", 4) + strFrame, JPEG_START + strFrame.substr(0, 8),
                                      JPEG_START + std::string("\xFF\xE1\xFF\xFF", 4) + strFrame})
        EXPECT_EQ(ReadImageSize(strBad).eFormat, IMAGE_UNKNOWN) << ::testing::PrintToString(strBad);

    // Empty comment segments, four bytes each: a thousand are read through,
    // a hundred thousand and one are not.
    const std::string strComment = JpegSegment(0xFE, "");
    std::string strFew = JPEG_START;
    for (int i = 0; i < 1000; ++i)
        strFew += strComment;
    EXPECT_EQ(ReadImageSize(strFew + JpegFrame(0xC1, 7, 9)).nHeight, 9);
    std::string strMany = JPEG_START;
    strMany.reserve(4 * 100001 + 64);
    for (int i = 0; i < 100001; ++i)
        strMany += strComment;
    EXPECT_EQ(ReadImageSize(strMany + JpegFrame(0xC1, 7, 9)).eFormat, IMAGE_UNKNOWN);
    // More than a megabyte of bytes that are no marker.
    EXPECT_EQ(ReadImageSize(JPEG_START + std::string("\xFF\xFE\x00\x02", 4) + std::string((1 << 20) + 1, 'x')
                     + JpegFrame(0xC1, 7, 9))
                  .eFormat,
              IMAGE_UNKNOWN);
}

TEST(ImageHeaders, RandomBytesBehindEachSignatureGiveNoSizeOrAPositiveOne)
{
    const std::string aSignatures[] = {std::string("\x89PNG\r\n\x1A\n", 8) + Be32(13) + "IHDR", "GIF89a", "BM",
                                       JPEG_START + "\xFF", "RIFF\x10\0\0\0WEBPVP8X", "RIFF\x10\0\0\0WEBPVP8 ",
                                       "RIFF\x10\0\0\0WEBPVP8L"};
    std::mt19937 random(20261206);
    int nFound = 0;
    for (const std::string &strSignature : aSignatures) {
        for (int i = 0; i < 3000; ++i) {
            std::string strBytes = strSignature;
            const std::size_t nLength = random() % 64;
            for (std::size_t k = 0; k < nLength; ++k)
                strBytes += static_cast<char>(random() % 4 == 0 ? 0xFF : random() & 0xFF);
            const std::unique_ptr<char[]> pExact(new char[strBytes.size()]);
            std::copy(strBytes.begin(), strBytes.end(), pExact.get());
            const CImageSize size = ReadImageSize(std::string_view(pExact.get(), strBytes.size()));
            nFound += size.eFormat != IMAGE_UNKNOWN;
            EXPECT_TRUE(size.eFormat == IMAGE_UNKNOWN || (size.nWidth >= 1 && size.nHeight >= 1)) << Dims(size);
        }
    }
    EXPECT_GT(nFound, 100);
}

TEST(ImageHeaders, ThingsThatAreNoImageFile)
{
    CTempDir dir;
    WriteFileBytes(dir.File("empty.png"), "");
    WriteFileBytes(dir.File("text.png"), "<html>not an image</html>");
    // A FIFO without a writer would block a plain open for ever.
    ASSERT_EQ(mkfifo(dir.File("fifo.png").c_str(), 0600), 0);
    for (const std::string &strPath : {dir.Path(), dir.File("missing.png"), dir.File("empty.png"), dir.File("text.png"),
                                       dir.File("fifo.png")})
        EXPECT_EQ(ReadImageFileSize(strPath).eFormat, IMAGE_UNKNOWN) << strPath;
    WriteFileBytes(dir.File("real.png"), Png(12, 34));
    EXPECT_EQ(ReadImageFileSize(dir.File("real.png")).nHeight, 34);
}

TEST(ImageDialog, TheFileItNamesIsFoundBesideTheDocument)
{
    EXPECT_EQ(ImageDialogFilePath("/srv/www/index.html", "img", "a.gif", "/home"), "/srv/www/img/a.gif");
    EXPECT_EQ(ImageDialogFilePath("/srv/www/index.html", "img/", "a.gif", "/home"), "/srv/www/img/a.gif");
    EXPECT_EQ(ImageDialogFilePath("/srv/www/index.html", "", "a.gif", "/home"), "/srv/www/a.gif");
    EXPECT_EQ(ImageDialogFilePath("/srv/www/index.html", "../pics", "a.gif", "/home"), "/srv/www/../pics/a.gif");
    EXPECT_EQ(ImageDialogFilePath("/srv/www/index.html", "/pics", "a.gif", "/home"), "/pics/a.gif");
    EXPECT_EQ(ImageDialogFilePath("", "img", "a.gif", "/home/me"), "/home/me/img/a.gif");
    EXPECT_EQ(ImageDialogFilePath("/srv/www/index.html", "img", "/abs/a.gif", "/home"), "/abs/a.gif");
    EXPECT_EQ(ImageDialogFilePath("/srv/www/index.html", "img", "", "/home"), "");
}
