#include "tools/lzhwriter.h"

#include "tools/lh5encoder.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t READ_BLOCK = std::size_t(1) << 18;
// A file whose first megabyte does not get smaller is stored.
constexpr std::int64_t STORE_PROBE = std::int64_t(1) << 20;

constexpr unsigned char EXT_HEADER_CRC = 0x00;
constexpr unsigned char EXT_FILE_NAME = 0x01;
constexpr unsigned char EXT_FOLDER_NAME = 0x02;
constexpr unsigned char EXT_UNIX_MODE = 0x50;
constexpr unsigned char FOLDER_SEPARATOR = 0xFF;
constexpr unsigned UNIX_TYPE_FILE = 0100000;
constexpr unsigned UNIX_TYPE_FOLDER = 0040000;

const std::array<std::uint16_t, 256> &CrcTable()
{
    static const std::array<std::uint16_t, 256> table = [] {
        std::array<std::uint16_t, 256> t{};
        for (unsigned i = 0; i < 256; ++i) {
            unsigned r = i;
            for (int k = 0; k < 8; ++k)
                r = (r & 1) ? (r >> 1) ^ 0xA001u : r >> 1;
            t[i] = static_cast<std::uint16_t>(r);
        }
        return t;
    }();
    return table;
}

void Put16(std::string &s, unsigned v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string &s, std::uint32_t v)
{
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

void Set16(std::string &s, std::size_t nAt, unsigned v)
{
    s[nAt] = static_cast<char>(v & 0xFF);
    s[nAt + 1] = static_cast<char>((v >> 8) & 0xFF);
}

bool PWriteAll(int fd, const char *p, std::size_t n, std::int64_t nOffset)
{
    while (n > 0) {
        const ssize_t r = ::pwrite(fd, p, n, nOffset);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            return false;
        p += r;
        n -= static_cast<std::size_t>(r);
        nOffset += r;
    }
    return true;
}

ssize_t ReadSome(int fd, char *p, std::size_t n)
{
    std::size_t nDone = 0;
    while (nDone < n) {
        const ssize_t r = ::read(fd, p + nDone, n - nDone);
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0)
            return -1;
        if (r == 0)
            break;
        nDone += static_cast<std::size_t>(r);
    }
    return static_cast<ssize_t>(nDone);
}

// Compressed bytes go straight to the archive at the next offset.
class CArchiveSink : public CByteSink
{
public:
    CArchiveSink(int fd, std::int64_t nOffset) : m_fd(fd), m_nOffset(nOffset) {}
    bool Put(const unsigned char *p, std::size_t n) override
    {
        if (!PWriteAll(m_fd, reinterpret_cast<const char *>(p), n, m_nOffset))
            return false;
        m_nOffset += static_cast<std::int64_t>(n);
        return true;
    }

private:
    int m_fd;
    std::int64_t m_nOffset;
};

bool IsCancelled(const CLzhWriter::CProgress *pProgress)
{
    return pProgress && pProgress->pCancel && pProgress->pCancel->load(std::memory_order_relaxed);
}

} // namespace

std::uint16_t LzhCrc16(std::uint16_t nCrc, const void *p, std::size_t n)
{
    const std::array<std::uint16_t, 256> &table = CrcTable();
    const unsigned char *pb = static_cast<const unsigned char *>(p);
    unsigned crc = nCrc;
    for (std::size_t i = 0; i < n; ++i)
        crc = table[(crc ^ pb[i]) & 0xFF] ^ (crc >> 8);
    return static_cast<std::uint16_t>(crc);
}

std::string BuildLzhHeader(std::string_view method, const CLzhEntry &entry, std::uint32_t nPacked,
                           std::uint32_t nOriginal, std::uint16_t nCrc)
{
    const bool bFolder = method == "-lhd-";
    std::string strName = entry.strName;
    while (!strName.empty() && strName.back() == '/')
        strName.pop_back();
    // '/' is never the second byte of a Shift-JIS character, so it can be
    // looked for byte by byte.
    std::string strFolder;
    std::string strFile;
    if (bFolder) {
        strFolder = strName;
    } else {
        const std::size_t nSlash = strName.rfind('/');
        strFolder = nSlash == std::string::npos ? std::string() : strName.substr(0, nSlash);
        strFile = nSlash == std::string::npos ? strName : strName.substr(nSlash + 1);
    }
    if (!strFolder.empty()) {
        for (char &ch : strFolder)
            if (ch == '/')
                ch = static_cast<char>(FOLDER_SEPARATOR);
        strFolder += static_cast<char>(FOLDER_SEPARATOR);
    }

    const std::int64_t nTime = entry.nMTime < 0 ? 0 : std::min<std::int64_t>(entry.nMTime, 0xFFFFFFFFLL);
    std::string h;
    Put16(h, 0);  // the header's size, set below
    h.append(method.substr(0, 5));
    Put32(h, nPacked);
    Put32(h, nOriginal);
    Put32(h, static_cast<std::uint32_t>(nTime));
    // Level-2 readers expect 0x20 here whatever the entry is.
    h += static_cast<char>(0x20);
    h += static_cast<char>(2);
    Put16(h, nCrc);
    h += 'U';

    auto addExt = [&h](unsigned char nType, std::string_view data) {
        Put16(h, static_cast<unsigned>(data.size() + 3));
        h += static_cast<char>(nType);
        h.append(data);
    };
    const std::size_t nCrcAt = h.size() + 3;
    addExt(EXT_HEADER_CRC, std::string(2, '\0'));
    if (!bFolder)
        addExt(EXT_FILE_NAME, strFile);
    if (!strFolder.empty())
        addExt(EXT_FOLDER_NAME, strFolder);
    std::string strMode;
    const unsigned nType = (entry.nMode & 0170000) != 0 ? entry.nMode & 0170000
                                                       : (bFolder ? UNIX_TYPE_FOLDER : UNIX_TYPE_FILE);
    Put16(strMode, (entry.nMode & 07777) | nType);
    addExt(EXT_UNIX_MODE, strMode);
    Put16(h, 0);
    // A level-2 header whose size has a zero low byte would read as the end
    // of the archive: one padding byte avoids it.
    if ((h.size() & 0xFF) == 0)
        h += '\0';
    Set16(h, 0, static_cast<unsigned>(h.size()));
    Set16(h, nCrcAt, LzhCrc16(0, h.data(), h.size()));
    return h;
}

CLzhWriter::CLzhWriter(int fd) : m_fd(fd) {}

bool CLzhWriter::WriteAt(std::int64_t nOffset, const std::string &strBytes)
{
    return PWriteAll(m_fd, strBytes.data(), strBytes.size(), nOffset);
}

ELzhResult CLzhWriter::AddFolder(const CLzhEntry &entry)
{
    const std::string h = BuildLzhHeader("-lhd-", entry, 0, 0, 0);
    if (h.size() > 0xFFFF || !WriteAt(m_nOffset, h))
        return LZH_WRITE_FAILED;
    m_nOffset += static_cast<std::int64_t>(h.size());
    m_strLastMethod = "-lhd-";
    m_nLastPacked = m_nLastOriginal = 0;
    return LZH_OK;
}

ELzhResult CLzhWriter::AddFile(const CLzhEntry &entry, int fdIn, const CProgress *pProgress)
{
    struct stat st;
    if (::fstat(fdIn, &st) != 0 || ::lseek(fdIn, 0, SEEK_SET) != 0)
        return LZH_READ_FAILED;
    if (st.st_size > LZH_MAX_FILE_SIZE)
        return LZH_TOO_LARGE;
    const std::string strHeader = BuildLzhHeader("-lh5-", entry, 0, 0, 0);
    if (strHeader.size() > 0xFFFF || !WriteAt(m_nOffset, strHeader))
        return LZH_WRITE_FAILED;
    const std::int64_t nDataStart = m_nOffset + static_cast<std::int64_t>(strHeader.size());

    std::unique_ptr<char[]> pBuf = std::make_unique<char[]>(READ_BLOCK);
    std::uint16_t nCrc = 0;
    std::int64_t nRead = 0;
    bool bStore = false;
    std::uint64_t nPacked = 0;
    {
        CArchiveSink sink(m_fd, nDataStart);
        CLh5Encoder encoder(sink);
        for (;;) {
            if (IsCancelled(pProgress))
                return LZH_CANCELLED;
            const ssize_t n = ReadSome(fdIn, pBuf.get(), READ_BLOCK);
            if (n < 0)
                return LZH_READ_FAILED;
            if (n == 0)
                break;
            nRead += n;
            if (nRead > LZH_MAX_FILE_SIZE)
                return LZH_TOO_LARGE;
            nCrc = LzhCrc16(nCrc, pBuf.get(), static_cast<std::size_t>(n));
            if (!encoder.Write(pBuf.get(), static_cast<std::size_t>(n)))
                return LZH_WRITE_FAILED;
            if (pProgress && pProgress->fnRead)
                pProgress->fnRead(nRead);
            if (nRead >= STORE_PROBE && encoder.GetOutputSize() >= static_cast<std::uint64_t>(nRead)) {
                bStore = true;
                break;
            }
        }
        if (!bStore) {
            if (!encoder.Finish())
                return LZH_WRITE_FAILED;
            nPacked = encoder.GetOutputSize();
            bStore = nPacked >= static_cast<std::uint64_t>(nRead);
        }
    }

    std::string strMethod = "-lh5-";
    if (bStore) {
        // Compressing did not pay: the file goes in as it stands.
        strMethod = "-lh0-";
        if (::ftruncate(m_fd, nDataStart) != 0 || ::lseek(fdIn, 0, SEEK_SET) != 0)
            return LZH_WRITE_FAILED;
        if (pProgress && pProgress->fnRead)
            pProgress->fnRead(0);
        nCrc = 0;
        nRead = 0;
        for (;;) {
            if (IsCancelled(pProgress))
                return LZH_CANCELLED;
            const ssize_t n = ReadSome(fdIn, pBuf.get(), READ_BLOCK);
            if (n < 0)
                return LZH_READ_FAILED;
            if (n == 0)
                break;
            if (nRead + n > LZH_MAX_FILE_SIZE)
                return LZH_TOO_LARGE;
            if (!PWriteAll(m_fd, pBuf.get(), static_cast<std::size_t>(n), nDataStart + nRead))
                return LZH_WRITE_FAILED;
            nRead += n;
            nCrc = LzhCrc16(nCrc, pBuf.get(), static_cast<std::size_t>(n));
            if (pProgress && pProgress->fnRead)
                pProgress->fnRead(nRead);
        }
        nPacked = static_cast<std::uint64_t>(nRead);
    }

    const std::string strFinal = BuildLzhHeader(strMethod, entry, static_cast<std::uint32_t>(nPacked),
                                                static_cast<std::uint32_t>(nRead), nCrc);
    if (strFinal.size() != strHeader.size() || !WriteAt(m_nOffset, strFinal))
        return LZH_WRITE_FAILED;
    m_nOffset = nDataStart + static_cast<std::int64_t>(nPacked);
    m_strLastMethod = strMethod;
    m_nLastPacked = static_cast<std::uint32_t>(nPacked);
    m_nLastOriginal = static_cast<std::uint32_t>(nRead);
    return LZH_OK;
}

ELzhResult CLzhWriter::Finish()
{
    if (!WriteAt(m_nOffset, std::string(1, '\0')) || ::ftruncate(m_fd, m_nOffset + 1) != 0)
        return LZH_WRITE_FAILED;
    ++m_nOffset;
    return LZH_OK;
}
