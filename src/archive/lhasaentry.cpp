#include "archive/lhasaentry.h"

#include "archive/lholddecoder.h"
#include "text/filehandle.h"

#include <lhasa.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

struct CLhasaEntryReader::CState
{
    CFileHandle file;
    std::int64_t nOffset = 0;
    std::int64_t nStart = 0;
    LHAInputStream *pStream = nullptr;
    LHAReader *pReader = nullptr;
    LHAFileHeader *pHeader = nullptr;
    // -lh2- and -lh3-: the entry's data, read from where lhasa left off.
    std::unique_ptr<CByteSource> pPacked;
    std::unique_ptr<CLhOldDecoder> pOld;
    std::int64_t nHeaderLength = 0;

    ~CState()
    {
        // The reader does not own the stream.
        if (pReader)
            lha_reader_free(pReader);
        if (pStream)
            lha_input_stream_free(pStream);
    }

    // The stream reads the archive from the header on with pread, so the
    // descriptor's own position never matters.
    static int ReadFn(void *pHandle, void *pBuf, size_t nLen)
    {
        CState &s = *static_cast<CState *>(pHandle);
        const ssize_t n = s.file.ReadAt(pBuf, nLen, s.nOffset);
        if (n < 0)
            return -1;
        s.nOffset += n;
        return static_cast<int>(n);
    }

    static int SkipFn(void *pHandle, size_t nBytes)
    {
        static_cast<CState *>(pHandle)->nOffset += static_cast<std::int64_t>(nBytes);
        return 1;
    }

    static void CloseFn(void *) {}
};

namespace {

// The packed data of one entry, read with pread so that the descriptor's
// position never matters; a read error ends the data, which the decoder
// then finds too short.
class CPackedSource : public CByteSource
{
public:
    CPackedSource(const CFileHandle &file, std::int64_t nOffset, std::uint64_t nLength)
        : m_file(file), m_nOffset(nOffset), m_nLeft(nLength)
    {
    }

    std::size_t Read(unsigned char *p, std::size_t n) override
    {
        if (n > m_nLeft)
            n = static_cast<std::size_t>(m_nLeft);
        const ssize_t r = n > 0 ? m_file.ReadAt(p, n, m_nOffset) : 0;
        if (r <= 0)
            return 0;
        m_nOffset += r;
        m_nLeft -= static_cast<std::uint64_t>(r);
        return static_cast<std::size_t>(r);
    }

private:
    const CFileHandle &m_file;
    std::int64_t m_nOffset;
    std::uint64_t m_nLeft;
};

const LHAInputStreamType STREAM_TYPE = {&CLhasaEntryReader::CState::ReadFn, &CLhasaEntryReader::CState::SkipFn,
                                        &CLhasaEntryReader::CState::CloseFn};

} // namespace

CLhasaEntryReader::CLhasaEntryReader(const std::string &strArchive, std::int64_t nHeaderOffset)
    : m_p(std::make_unique<CState>())
{
    CState &s = *m_p;
    s.file = CFileHandle::Open(strArchive, O_RDONLY);
    if (!s.file.IsOpen() || nHeaderOffset < 0)
        return;
    s.nOffset = s.nStart = nHeaderOffset;
    s.pStream = lha_input_stream_new(&STREAM_TYPE, &s);
    if (!s.pStream)
        return;
    s.pReader = lha_reader_new(s.pStream);
    if (!s.pReader)
        return;
    // Folders are only the extractor's; lhasa is asked for this one entry.
    lha_reader_set_dir_policy(s.pReader, LHA_READER_DIR_PLAIN);
    s.pHeader = lha_reader_next_file(s.pReader);
    ELhOldMethod method;
    if (s.pHeader && LhOldMethodFromName(GetMethod(), method)) {
        // lhasa has read the header and nothing more: the data starts here.
        s.nHeaderLength = s.nOffset - s.nStart;
        s.pPacked = std::make_unique<CPackedSource>(s.file, s.nOffset, s.pHeader->compressed_length);
        s.pOld = std::make_unique<CLhOldDecoder>(method, *s.pPacked, s.pHeader->length);
    }
}

CLhasaEntryReader::~CLhasaEntryReader() = default;

bool CLhasaEntryReader::IsOpen() const
{
    return m_p->pHeader != nullptr;
}

std::string CLhasaEntryReader::GetMethod() const
{
    return m_p->pHeader ? std::string(m_p->pHeader->compress_method, strnlen(m_p->pHeader->compress_method, 5))
                        : std::string();
}

std::uint64_t CLhasaEntryReader::GetLength() const
{
    return m_p->pHeader ? m_p->pHeader->length : 0;
}

std::uint16_t CLhasaEntryReader::GetCrc() const
{
    return m_p->pHeader ? m_p->pHeader->crc : 0;
}

bool CLhasaEntryReader::CanDecode() const
{
    if (!m_p->pHeader)
        return false;
    if (m_p->pOld)
        return true;
    char szMethod[6];
    std::memcpy(szMethod, m_p->pHeader->compress_method, sizeof szMethod);
    szMethod[5] = '\0';
    return lha_decoder_for_name(szMethod) != nullptr;
}

std::size_t CLhasaEntryReader::Read(void *p, std::size_t n)
{
    if (m_p->pOld)
        return m_p->pOld->Read(p, n);
    return m_p->pHeader ? lha_reader_read(m_p->pReader, p, n) : 0;
}

bool CLhasaEntryReader::IsDamaged() const
{
    return m_p->pOld && m_p->pOld->IsDamaged();
}

std::int64_t CLhasaEntryReader::GetArchiveBytesRead() const
{
    if (m_p->pOld)
        return m_p->nHeaderLength + static_cast<std::int64_t>(m_p->pOld->GetPackedBytesUsed());
    return m_p->nOffset - m_p->nStart;
}

bool IsLibarchiveLzhMethod(const std::string &strMethod)
{
    for (const char *psz : {"-lh0-", "-lh5-", "-lh6-", "-lh7-", "-lz4-", "-lhd-"})
        if (strMethod == psz)
            return true;
    return false;
}
