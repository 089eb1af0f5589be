// Writing LZH archives: level-2 headers, Shift-JIS (CP932) names, each file
// compressed with -lh5- (or stored as -lh0- when that would not make it
// smaller), its CRC-16 in the header, folders as -lhd- entries, and the
// single zero byte that ends the archive. Readers: LHA tools on any
// platform, libarchive, lhasa.
//
// The writer writes to a descriptor it does not own and never decides where
// the archive lives; putting it in place is the caller's (see CAtomicFile).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CByteSink;
class CLhBitJoiner;
struct CLhBits;
class CLh5SegmentCoder;

// CRC-16 as LZH uses it (polynomial 0xA001 reflected, starting at 0).
std::uint16_t LzhCrc16(std::uint16_t nCrc, const void *p, std::size_t n);

struct CLzhEntry
{
    // The path inside the archive in CP932, folders separated by '/';
    // a folder's name may end with '/'.
    std::string strName;
    std::int64_t nMTime = 0;       // seconds since 1970
    // Permission bits; a file type in the high bits (S_IFLNK for a link
    // written as "name|target") is kept as given.
    unsigned nMode = 0644;
};

// The level-2 header of one entry. nMethod is "-lh5-", "-lh0-" or "-lhd-".
std::string BuildLzhHeader(std::string_view method, const CLzhEntry &entry, std::uint32_t nPacked,
                           std::uint32_t nOriginal, std::uint16_t nCrc);

// Largest file an entry can hold: its sizes are 32-bit.
inline constexpr std::int64_t LZH_MAX_FILE_SIZE = 0xFFFFFFFFLL;

enum ELzhResult
{
    LZH_OK = 0,
    LZH_WRITE_FAILED,   // the archive could not be written
    LZH_READ_FAILED,    // the file to pack could not be read
    LZH_TOO_LARGE,      // the file is 4 GiB or larger
    LZH_CANCELLED,
};

class CLzhWriter
{
public:
    // Progress of the file being packed: bytes of it read so far. Called
    // every few hundred kilobytes; the flag, when set, stops the work.
    struct CProgress
    {
        std::function<void(std::int64_t nRead)> fnRead;
        const std::atomic<bool> *pCancel = nullptr;
    };

    // Writes from the descriptor's start; the descriptor must allow seeking.
    explicit CLzhWriter(int fd);
    ~CLzhWriter();
    CLzhWriter(const CLzhWriter &) = delete;
    CLzhWriter &operator=(const CLzhWriter &) = delete;

    ELzhResult AddFolder(const CLzhEntry &entry);
    // Packs what the descriptor reads from its start to its end. The method
    // and sizes used are reported back.
    ELzhResult AddFile(const CLzhEntry &entry, int fdIn, const CProgress *pProgress = nullptr);
    // The end mark; nothing may be added after it.
    ELzhResult Finish();

    // A file whose segments (LH5_SEGMENT bytes each, the last one shorter)
    // are coded elsewhere, perhaps on other threads: BeginFile, then each
    // segment's bytes and bits in order, then EndFile. AddFile goes the same
    // way, so both give the same bytes. A file whose first segment does not
    // get smaller goes in stored; its later segments need no bits
    // (IsStoring). When the whole file turns out no smaller, EndFile asks
    // for it again (bStoreAgain) and StoreFile writes it as it stands.
    ELzhResult BeginFile(const CLzhEntry &entry);
    bool IsStoring() const { return m_bStoring; }
    ELzhResult PutSegment(const unsigned char *p, std::size_t n, const CLhBits *pBits);
    ELzhResult EndFile(bool &bStoreAgain);
    ELzhResult StoreFile(int fdIn, const CProgress *pProgress = nullptr);

    const std::string &GetLastMethod() const { return m_strLastMethod; }
    std::uint32_t GetLastPacked() const { return m_nLastPacked; }
    std::uint32_t GetLastOriginal() const { return m_nLastOriginal; }

private:
    bool WriteAt(std::int64_t nOffset, const std::string &strBytes);
    bool WriteData(const void *p, std::size_t n);
    ELzhResult EndEntry(std::string_view method);

    int m_fd;
    std::int64_t m_nOffset = 0;
    // The file being written: its entry, where its data starts, bytes of
    // it taken and written, its CRC, and bits not yet a whole byte.
    CLzhEntry m_entry;
    std::string m_strHeader;
    std::int64_t m_nDataStart = 0;
    std::int64_t m_nOriginal = 0;
    std::int64_t m_nPacked = 0;
    std::uint16_t m_nCrc = 0;
    bool m_bStoring = false;
    bool m_bFirstSegment = true;
    std::unique_ptr<CByteSink> m_pSink;
    std::unique_ptr<CLhBitJoiner> m_pJoiner;
    std::unique_ptr<CLh5SegmentCoder> m_pCoder;
    std::vector<unsigned char> m_aReadBuf;
    std::string m_strLastMethod;
    std::uint32_t m_nLastPacked = 0;
    std::uint32_t m_nLastOriginal = 0;
};
