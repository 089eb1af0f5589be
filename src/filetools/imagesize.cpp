#include "filetools/imagesize.h"

#include "text/filehandle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

namespace {

using byte = unsigned char;

std::uint32_t Be16(const byte *p)
{
    return static_cast<std::uint32_t>(p[0]) << 8 | p[1];
}

std::uint32_t Be32(const byte *p)
{
    return Be16(p) << 16 | Be16(p + 2);
}

std::uint32_t Le16(const byte *p)
{
    return static_cast<std::uint32_t>(p[1]) << 8 | p[0];
}

std::uint32_t Le24(const byte *p)
{
    return static_cast<std::uint32_t>(p[2]) << 16 | Le16(p);
}

std::uint32_t Le32(const byte *p)
{
    return static_cast<std::uint32_t>(p[3]) << 24 | Le24(p);
}

CImageSize Found(EImageFormat eFormat, std::uint64_t nWidth, std::uint64_t nHeight)
{
    CImageSize size;
    if (nWidth == 0 || nHeight == 0 || nWidth > INT_MAX || nHeight > INT_MAX)
        return size;
    size.eFormat = eFormat;
    size.nWidth = static_cast<int>(nWidth);
    size.nHeight = static_cast<int>(nHeight);
    return size;
}

// PNG: the signature, then the IHDR chunk, which must come first.
CImageSize PngSize(const byte *p, std::size_t n)
{
    if (n < 24 || Be32(p + 8) != 13 || std::memcmp(p + 12, "IHDR", 4) != 0)
        return CImageSize();
    return Found(IMAGE_PNG, Be32(p + 16), Be32(p + 20));
}

// GIF: the logical screen, which is what a page lays out.
CImageSize GifSize(const byte *p, std::size_t n)
{
    if (n < 10)
        return CImageSize();
    return Found(IMAGE_GIF, Le16(p + 6), Le16(p + 8));
}

// BMP: the old OS/2 header has 16-bit sizes; the later ones 32-bit sizes,
// with a negative height for rows stored top down.
CImageSize BmpSize(const byte *p, std::size_t n)
{
    if (n < 18)
        return CImageSize();
    const std::uint32_t nHeader = Le32(p + 14);
    if (nHeader == 12)
        return n < 22 ? CImageSize() : Found(IMAGE_BMP, Le16(p + 18), Le16(p + 20));
    if (nHeader < 16 || nHeader > 256 || n < 26)
        return CImageSize();
    const auto nWidth = static_cast<std::int32_t>(Le32(p + 18));
    const auto nHeight = static_cast<std::int32_t>(Le32(p + 22));
    if (nWidth <= 0 || nHeight == 0)
        return CImageSize();
    const std::int64_t nRows = nHeight < 0 ? -static_cast<std::int64_t>(nHeight) : nHeight;
    return Found(IMAGE_BMP, static_cast<std::uint64_t>(nWidth), static_cast<std::uint64_t>(nRows));
}

// WebP: a RIFF file whose first chunk is a lossy frame ("VP8 "), a lossless
// one ("VP8L") or the extended header with the canvas size ("VP8X").
CImageSize WebpSize(const byte *p, std::size_t n)
{
    if (n < 30 || std::memcmp(p + 8, "WEBP", 4) != 0)
        return CImageSize();
    const byte *pChunk = p + 12;
    const byte *pData = p + 20;
    if (std::memcmp(pChunk, "VP8 ", 4) == 0) {
        // A key frame (bit 0 of its tag clear) with its start code.
        if ((pData[0] & 1) != 0 || pData[3] != 0x9D || pData[4] != 0x01 || pData[5] != 0x2A)
            return CImageSize();
        return Found(IMAGE_WEBP, Le16(pData + 6) & 0x3FFF, Le16(pData + 8) & 0x3FFF);
    }
    if (std::memcmp(pChunk, "VP8L", 4) == 0) {
        if (pData[0] != 0x2F)
            return CImageSize();
        const std::uint32_t nBits = Le32(pData + 1);
        return Found(IMAGE_WEBP, (nBits & 0x3FFF) + 1, ((nBits >> 14) & 0x3FFF) + 1);
    }
    if (std::memcmp(pChunk, "VP8X", 4) == 0)
        return Found(IMAGE_WEBP, static_cast<std::uint64_t>(Le24(pData + 4)) + 1,
                     static_cast<std::uint64_t>(Le24(pData + 7)) + 1);
    return CImageSize();
}

// Byte access to a source through one block kept in memory, so that walking
// a JPEG costs a read per block, not per segment.
class CByteCursor
{
public:
    explicit CByteCursor(CImageSource &source) : m_source(source) {}

    // The byte at nOffset; false past the end.
    bool Byte(std::uint64_t nOffset, byte &c)
    {
        if (nOffset < m_nStart || nOffset >= m_nStart + m_nFilled) {
            m_nStart = nOffset;
            m_nFilled = m_source.Read(nOffset, m_aBlock, sizeof m_aBlock);
            if (m_nFilled == 0)
                return false;
        }
        c = m_aBlock[nOffset - m_nStart];
        return true;
    }

    bool Bytes(std::uint64_t nOffset, byte *p, std::size_t n)
    {
        for (std::size_t i = 0; i < n; ++i)
            if (!Byte(nOffset + i, p[i]))
                return false;
        return true;
    }

private:
    CImageSource &m_source;
    byte m_aBlock[4096];
    std::uint64_t m_nStart = 0;
    std::size_t m_nFilled = 0;
};

bool IsJpegFrameMarker(byte m)
{
    // SOF0-SOF15 except DHT (C4), JPG (C8) and DAC (CC).
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

// JPEG: the segments from the start of the image up to its frame header,
// which holds the size; skipped by their lengths. Bytes that are not a
// marker between segments are passed over as decoders do, within a limit.
CImageSize JpegSize(CImageSource &source)
{
    constexpr int MAX_SEGMENTS = 100000;
    constexpr std::uint64_t MAX_STRAY_BYTES = 1 << 20;
    CByteCursor cursor(source);
    std::uint64_t nPos = 2;
    std::uint64_t nStray = 0;
    for (int nSegment = 0; nSegment < MAX_SEGMENTS; ++nSegment) {
        byte c = 0;
        if (!cursor.Byte(nPos, c))
            return CImageSize();
        if (c != 0xFF) {
            if (++nStray > MAX_STRAY_BYTES)
                return CImageSize();
            ++nPos;
            continue;
        }
        // Fill bytes: any number of 0xFF before the marker code.
        byte m = 0xFF;
        while (m == 0xFF) {
            if (!cursor.Byte(++nPos, m) || ++nStray > MAX_STRAY_BYTES)
                return CImageSize();
        }
        ++nPos;
        if (m == 0x00 || m == 0x01 || (m >= 0xD0 && m <= 0xD7))
            continue;  // a stuffed zero, TEM or a restart marker: no length
        if (m == 0xD8 || m == 0xD9 || m == 0xDA)
            return CImageSize();  // a second start, the end, or a scan before any frame
        byte aLength[2];
        if (!cursor.Bytes(nPos, aLength, 2))
            return CImageSize();
        const std::uint32_t nLength = Be16(aLength);
        if (nLength < 2)
            return CImageSize();
        if (IsJpegFrameMarker(m)) {
            byte aFrame[5];
            if (nLength < 7 || !cursor.Bytes(nPos + 2, aFrame, 5))
                return CImageSize();
            // Precision, then the height and the width; a height of 0 is
            // only given later in the scan, which is not read here.
            return Found(IMAGE_JPEG, Be16(aFrame + 3), Be16(aFrame + 1));
        }
        nPos += nLength;
    }
    return CImageSize();
}

class CFileImageSource : public CImageSource
{
public:
    // Opening a FIFO without O_NONBLOCK would wait for a writer.
    explicit CFileImageSource(const std::string &strPath)
        : m_file(CFileHandle::Open(strPath, O_RDONLY | O_NONBLOCK))
    {
    }

    bool IsRegularFile() const
    {
        struct stat st;
        return m_file.IsOpen() && ::fstat(m_file.Get(), &st) == 0 && S_ISREG(st.st_mode);
    }

    std::size_t Read(std::uint64_t nOffset, void *pBuffer, std::size_t n) override
    {
        const ssize_t nRead = m_file.ReadFullyAt(pBuffer, n, static_cast<std::int64_t>(nOffset));
        return nRead < 0 ? 0 : static_cast<std::size_t>(nRead);
    }

private:
    CFileHandle m_file;
};

} // namespace

std::size_t CMemoryImageSource::Read(std::uint64_t nOffset, void *pBuffer, std::size_t n)
{
    if (nOffset >= m_bytes.size())
        return 0;
    const std::size_t nCount = std::min<std::size_t>(n, m_bytes.size() - static_cast<std::size_t>(nOffset));
    std::memcpy(pBuffer, m_bytes.data() + nOffset, nCount);
    return nCount;
}

CImageSize ReadImageSize(CImageSource &source)
{
    byte aHead[32] = {};
    const std::size_t n = source.Read(0, aHead, sizeof aHead);
    if (n >= 8 && std::memcmp(aHead, "\x89PNG\r\n\x1A\n", 8) == 0)
        return PngSize(aHead, n);
    if (n >= 6 && (std::memcmp(aHead, "GIF87a", 6) == 0 || std::memcmp(aHead, "GIF89a", 6) == 0))
        return GifSize(aHead, n);
    if (n >= 3 && aHead[0] == 0xFF && aHead[1] == 0xD8 && aHead[2] == 0xFF)
        return JpegSize(source);
    if (n >= 2 && aHead[0] == 'B' && aHead[1] == 'M')
        return BmpSize(aHead, n);
    if (n >= 12 && std::memcmp(aHead, "RIFF", 4) == 0)
        return WebpSize(aHead, n);
    return CImageSize();
}

CImageSize ReadImageSize(std::string_view bytes)
{
    CMemoryImageSource source(bytes);
    return ReadImageSize(source);
}

CImageSize ReadImageFileSize(const std::string &strPath)
{
    CFileImageSource source(strPath);
    // A FIFO or a device could block or never end.
    if (!source.IsRegularFile())
        return CImageSize();
    return ReadImageSize(source);
}

std::string ImageDialogFilePath(const std::string &strDocumentPath, const std::string &strFolder,
                                const std::string &strFile, const std::string &strWorkingFolder)
{
    if (strFile.empty())
        return std::string();
    if (strFile[0] == '/')
        return strFile;
    std::string strPath;
    const std::size_t nSlash = strDocumentPath.rfind('/');
    if (!strDocumentPath.empty() && nSlash != std::string::npos)
        strPath = strDocumentPath.substr(0, nSlash + 1);
    else if (!strWorkingFolder.empty())
        strPath = strWorkingFolder + (strWorkingFolder.back() == '/' ? "" : "/");
    if (!strFolder.empty()) {
        strPath = strFolder[0] == '/' ? strFolder : strPath + strFolder;
        if (strPath.back() != '/')
            strPath += '/';
    }
    return strPath + strFile;
}
