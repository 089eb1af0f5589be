// The pixel size of an image read from its header, for PNG, GIF, JPEG
// (baseline, progressive and the other frame types), BMP and WebP (lossy,
// lossless and extended). Only the headers are read, never the pixels; a
// JPEG is walked segment by segment up to its frame header. Every length and
// offset in the file is checked against what is there, so a truncated or
// hostile file gives "no size", never a read past the data or a long loop.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

enum EImageFormat
{
    IMAGE_UNKNOWN,
    IMAGE_PNG,
    IMAGE_GIF,
    IMAGE_JPEG,
    IMAGE_BMP,
    IMAGE_WEBP,
};

struct CImageSize
{
    EImageFormat eFormat = IMAGE_UNKNOWN;
    int nWidth = 0;
    int nHeight = 0;
};

// Random access to the bytes of an image: Read copies up to n bytes from
// offset nOffset and returns how many it copied (fewer at the end).
class CImageSource
{
public:
    virtual ~CImageSource() = default;
    virtual std::size_t Read(std::uint64_t nOffset, void *pBuffer, std::size_t n) = 0;
};

// An image held in memory.
class CMemoryImageSource : public CImageSource
{
public:
    explicit CMemoryImageSource(std::string_view bytes) : m_bytes(bytes) {}
    std::size_t Read(std::uint64_t nOffset, void *pBuffer, std::size_t n) override;

private:
    std::string_view m_bytes;
};

// The size of the image, with IMAGE_UNKNOWN when its format is not one of
// the above or its header is broken. A found size is at least 1 x 1.
CImageSize ReadImageSize(CImageSource &source);
CImageSize ReadImageSize(std::string_view bytes);
// From a file; IMAGE_UNKNOWN too when it cannot be read.
CImageSize ReadImageFileSize(const std::string &strPath);

// The file an image dialog names: a file name with a folder prefix (used when
// given) relative to the document's folder, or to strWorkingFolder for an
// unnamed document; a file name that is already absolute stands alone. Empty
// when no file is named.
std::string ImageDialogFilePath(const std::string &strDocumentPath, const std::string &strFolder,
                                const std::string &strFile, const std::string &strWorkingFolder);
