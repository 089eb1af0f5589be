#include "recovery/journalformat.h"

#include "recovery/crc32c.h"

#include <climits>
#include <cstring>
#include <sys/stat.h>

namespace {

// A payload longer than this is not something the editor writes: a length
// field beyond it is damage, however many bytes follow.
constexpr std::uint64_t MAX_PAYLOAD = std::uint64_t(1) << 31;
constexpr std::size_t FRAME_HEAD = 5;  // length and type
constexpr std::size_t FRAME_TAIL = 4;  // checksum

void PutU32(std::string &s, std::size_t nAt, std::uint32_t n)
{
    for (int i = 0; i < 4; ++i)
        s[nAt + static_cast<std::size_t>(i)] = static_cast<char>((n >> (8 * i)) & 0xFF);
}

std::uint32_t GetU32(std::string_view s, std::size_t nAt)
{
    std::uint32_t n = 0;
    for (int i = 0; i < 4; ++i)
        n |= std::uint32_t(static_cast<unsigned char>(s[nAt + static_cast<std::size_t>(i)])) << (8 * i);
    return n;
}

CFileIdentity IdentityOf(const struct stat &st)
{
    CFileIdentity id;
    if (!S_ISREG(st.st_mode))
        return id;
    id.bValid = true;
    id.nDevice = static_cast<std::uint64_t>(st.st_dev);
    id.nInode = static_cast<std::uint64_t>(st.st_ino);
    id.nSize = static_cast<std::uint64_t>(st.st_size);
    id.nMtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return id;
}

void PutIdentity(CRecordBuilder &rb, const CFileIdentity &id)
{
    rb.PutVarint(id.bValid ? 1 : 0);
    rb.PutVarint(id.nDevice);
    rb.PutVarint(id.nInode);
    rb.PutVarint(id.nSize);
    rb.PutSigned(id.nMtimeNs);
}

bool GetIdentity(CPayloadReader &r, CFileIdentity &id)
{
    std::uint64_t nValid = 0;
    if (!r.Varint(nValid) || !r.Varint(id.nDevice) || !r.Varint(id.nInode) || !r.Varint(id.nSize)
        || !r.Signed(id.nMtimeNs))
        return false;
    id.bValid = nValid != 0;
    return true;
}

bool ValidLineEndMode(int n)
{
    return n >= 0 && n <= 2;
}

} // namespace

CFileIdentity StatFileIdentity(const std::string &strPath)
{
    struct stat st;
    if (::stat(strPath.c_str(), &st) != 0)
        return CFileIdentity();
    return IdentityOf(st);
}

CFileIdentity FdFileIdentity(int fd)
{
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return CFileIdentity();
    return IdentityOf(st);
}

std::uint64_t CJournalState::FileSize() const
{
    const std::uint64_t nSep = nLineEndMode == 0 ? 2 : 1;
    return nTextBytes + (nLineCount > 0 ? (nLineCount - 1) * nSep : 0);
}

// ---------------------------------------------------------------------------
// Writing

CRecordBuilder::CRecordBuilder(std::string &strOut, EJournalRecord eType) : m_strOut(strOut), m_nStart(strOut.size())
{
    m_strOut.append(4, '\0');
    m_strOut.push_back(static_cast<char>(eType));
}

void CRecordBuilder::PutVarint(std::uint64_t n)
{
    while (n >= 0x80) {
        m_strOut.push_back(static_cast<char>((n & 0x7F) | 0x80));
        n >>= 7;
    }
    m_strOut.push_back(static_cast<char>(n));
}

void CRecordBuilder::PutSigned(std::int64_t n)
{
    // Zig-zag, so that small negative numbers stay short.
    PutVarint((static_cast<std::uint64_t>(n) << 1) ^ static_cast<std::uint64_t>(n >> 63));
}

void CRecordBuilder::PutBytes(std::string_view bytes)
{
    PutVarint(bytes.size());
    m_strOut.append(bytes);
}

void CRecordBuilder::PutRaw(std::string_view bytes)
{
    m_strOut.append(bytes);
}

void CRecordBuilder::Finish()
{
    PutU32(m_strOut, m_nStart, static_cast<std::uint32_t>(PayloadSize()));
    const std::uint32_t nCrc = Crc32c(m_strOut.data() + m_nStart, m_strOut.size() - m_nStart);
    const std::size_t nAt = m_strOut.size();
    m_strOut.append(4, '\0');
    PutU32(m_strOut, nAt, nCrc);
}

void AppendMagic(std::string &strOut)
{
    strOut.append(JOURNAL_MAGIC);
}

void AppendHeader(std::string &strOut, const CJournalHeader &header)
{
    CRecordBuilder rb(strOut, JREC_HEADER);
    rb.PutVarint(header.nVersion);
    rb.PutVarint(header.owner.nPid);
    rb.PutVarint(header.owner.nStartTime);
    rb.PutBytes(header.owner.strBootId);
    rb.PutSigned(header.nCreatedMs);
    rb.PutBytes(header.strPath);
    rb.PutVarint(static_cast<std::uint64_t>(header.nLineEndMode));
    rb.PutVarint(header.nBase);
    rb.PutVarint(header.nBaseSize);
    rb.PutVarint(header.nBaseCrc);
    PutIdentity(rb, header.fileAtBase);
    rb.PutBytes(header.strDocCode);
    rb.PutBytes(header.strTitle);
    rb.Finish();
}

void AppendDelete(std::string &strOut, int nStartLine, int nStartChar, int nEndLine, int nEndChar)
{
    CRecordBuilder rb(strOut, JREC_DELETE);
    for (int n : {nStartLine, nStartChar, nEndLine, nEndChar})
        rb.PutVarint(static_cast<std::uint64_t>(n));
    rb.Finish();
}

void AppendState(std::string &strOut, const CJournalState &state)
{
    CRecordBuilder rb(strOut, JREC_STATE);
    rb.PutSigned(state.nTimeMs);
    rb.PutVarint(state.nTextBytes);
    rb.PutVarint(state.nLineCount);
    rb.PutVarint(static_cast<std::uint64_t>(state.nLineEndMode));
    rb.Finish();
}

void AppendSnapshotEnd(std::string &strOut, std::uint64_t nLines)
{
    CRecordBuilder rb(strOut, JREC_SNAPSHOT_END);
    rb.PutVarint(nLines);
    rb.Finish();
}

void AppendSnapshot(std::string &strOut, const CTextCopy &text)
{
    // Snapshot records hold about this many bytes of lines each: a cut-off
    // write loses no more than one of them.
    constexpr std::size_t SNAPSHOT_CHUNK = 1 << 20;
    strOut.reserve(strOut.size() + text.strBytes.size() + text.aLengths.size() * 5
                   + text.strBytes.size() / SNAPSHOT_CHUNK * 16 + 64);
    std::size_t nAt = 0;
    std::size_t nLine = 0;
    while (nLine < text.aLengths.size()) {
        CRecordBuilder rb(strOut, JREC_SNAPSHOT);
        do {
            const std::size_t nLength = text.aLengths[nLine++];
            rb.PutBytes(std::string_view(text.strBytes).substr(nAt, nLength));
            nAt += nLength;
        } while (nLine < text.aLengths.size() && rb.PayloadSize() < SNAPSHOT_CHUNK);
        rb.Finish();
    }
    AppendSnapshotEnd(strOut, text.aLengths.size());
}

// ---------------------------------------------------------------------------
// Reading

CJournalReader::CJournalReader(std::string_view data) : m_data(data)
{
    m_bMagic = data.substr(0, JOURNAL_MAGIC.size()) == JOURNAL_MAGIC;
    m_nPos = m_bMagic ? JOURNAL_MAGIC.size() : data.size();
    m_bDamaged = !m_bMagic && !data.empty();
}

bool CJournalReader::Next(CJournalRecordView &record)
{
    if (m_bDamaged || m_nPos >= m_data.size())
        return false;
    const std::size_t nLeft = m_data.size() - m_nPos;
    if (nLeft < FRAME_HEAD + FRAME_TAIL) {
        m_bDamaged = true;
        return false;
    }
    const std::uint64_t nLength = GetU32(m_data, m_nPos);
    if (nLength > MAX_PAYLOAD || nLength > nLeft - FRAME_HEAD - FRAME_TAIL) {
        m_bDamaged = true;
        return false;
    }
    const std::size_t nBody = FRAME_HEAD + static_cast<std::size_t>(nLength);
    const std::uint32_t nCrc = GetU32(m_data, m_nPos + nBody);
    if (Crc32c(m_data.data() + m_nPos, nBody) != nCrc) {
        m_bDamaged = true;
        return false;
    }
    record.eType = static_cast<EJournalRecord>(static_cast<unsigned char>(m_data[m_nPos + 4]));
    record.payload = m_data.substr(m_nPos + FRAME_HEAD, static_cast<std::size_t>(nLength));
    record.nOffset = m_nPos;
    m_nPos += nBody + FRAME_TAIL;
    return true;
}

bool CPayloadReader::Varint(std::uint64_t &n)
{
    n = 0;
    for (int nShift = 0; nShift < 64; nShift += 7) {
        if (m_nPos >= m_data.size())
            return false;
        const auto b = static_cast<unsigned char>(m_data[m_nPos++]);
        n |= std::uint64_t(b & 0x7F) << nShift;
        if (!(b & 0x80))
            return true;
    }
    return false;
}

bool CPayloadReader::Signed(std::int64_t &n)
{
    std::uint64_t u = 0;
    if (!Varint(u))
        return false;
    n = static_cast<std::int64_t>(u >> 1) ^ -static_cast<std::int64_t>(u & 1);
    return true;
}

bool CPayloadReader::Int(int &n)
{
    std::uint64_t u = 0;
    if (!Varint(u) || u > static_cast<std::uint64_t>(INT_MAX))
        return false;
    n = static_cast<int>(u);
    return true;
}

bool CPayloadReader::Bytes(std::string_view &bytes)
{
    std::uint64_t n = 0;
    if (!Varint(n) || n > m_data.size() - m_nPos)
        return false;
    bytes = m_data.substr(m_nPos, static_cast<std::size_t>(n));
    m_nPos += static_cast<std::size_t>(n);
    return true;
}

bool DecodeHeader(std::string_view payload, CJournalHeader &header)
{
    CPayloadReader r(payload);
    std::uint64_t nVersion = 0;
    std::uint64_t nPid = 0;
    std::uint64_t nBase = 0;
    std::uint64_t nCrc = 0;
    std::string_view boot;
    std::string_view path;
    if (!r.Varint(nVersion) || nVersion != JOURNAL_VERSION || !r.Varint(nPid) || !r.Varint(header.owner.nStartTime)
        || !r.Bytes(boot) || !r.Signed(header.nCreatedMs) || !r.Bytes(path) || !r.Int(header.nLineEndMode)
        || !r.Varint(nBase) || !r.Varint(header.nBaseSize) || !r.Varint(nCrc)
        || !GetIdentity(r, header.fileAtBase))
        return false;
    if (!ValidLineEndMode(header.nLineEndMode) || (nBase != JBASE_SNAPSHOT && nBase != JBASE_FILE)
        || nCrc > 0xFFFFFFFFu || nPid > 0xFFFFFFFFu)
        return false;
    header.nVersion = static_cast<std::uint32_t>(nVersion);
    header.owner.nPid = static_cast<std::uint32_t>(nPid);
    header.owner.strBootId.assign(boot);
    header.strPath.assign(path);
    header.nBase = static_cast<std::uint8_t>(nBase);
    header.nBaseCrc = static_cast<std::uint32_t>(nCrc);
    header.strDocCode.clear();
    if (!r.AtEnd()) {
        std::string_view code;
        if (!r.Bytes(code))
            return false;
        header.strDocCode.assign(code);
    }
    header.strTitle.clear();
    if (!r.AtEnd()) {
        std::string_view title;
        if (!r.Bytes(title))
            return false;
        header.strTitle.assign(title);
    }
    return true;
}

bool DecodeState(std::string_view payload, CJournalState &state)
{
    CPayloadReader r(payload);
    return r.Signed(state.nTimeMs) && r.Varint(state.nTextBytes) && r.Varint(state.nLineCount)
           && r.Int(state.nLineEndMode) && ValidLineEndMode(state.nLineEndMode);
}

bool DecodeDelete(std::string_view payload, int &nStartLine, int &nStartChar, int &nEndLine, int &nEndChar)
{
    CPayloadReader r(payload);
    return r.Int(nStartLine) && r.Int(nStartChar) && r.Int(nEndLine) && r.Int(nEndChar) && r.AtEnd();
}

bool DecodeInsert(std::string_view payload, int &nLine, int &nPos, std::vector<std::string_view> &aPieces)
{
    CPayloadReader r(payload);
    std::uint64_t nPieces = 0;
    // Every piece takes at least its length byte, which bounds the count.
    if (!r.Int(nLine) || !r.Int(nPos) || !r.Varint(nPieces) || nPieces == 0 || nPieces > payload.size())
        return false;
    aPieces.clear();
    aPieces.reserve(static_cast<std::size_t>(nPieces));
    for (std::uint64_t i = 0; i < nPieces; ++i) {
        std::string_view piece;
        if (!r.Bytes(piece) || piece.size() > static_cast<std::size_t>(INT_MAX - 32))
            return false;
        aPieces.push_back(piece);
    }
    return r.AtEnd();
}

bool DecodeSnapshot(std::string_view payload, std::vector<std::string_view> &aLines)
{
    CPayloadReader r(payload);
    while (!r.AtEnd()) {
        std::string_view line;
        if (!r.Bytes(line) || line.size() > static_cast<std::size_t>(INT_MAX - 32))
            return false;
        aLines.push_back(line);
    }
    return true;
}

bool DecodeSnapshotEnd(std::string_view payload, std::uint64_t &nLines)
{
    CPayloadReader r(payload);
    return r.Varint(nLines) && r.AtEnd();
}
