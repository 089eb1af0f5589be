// The recovery journal of one document as bytes on disk.
//
// A journal is the eight bytes "WRPJRNL1" followed by records, each
//
//     u32 payload length | u8 type | payload | u32 CRC-32C of the three before
//
// (little-endian). Records are only ever appended, so a record that runs past
// the end of the file or whose checksum does not match marks where a write was
// cut short or the disk lost data: everything before it is sound and nothing
// after it is trusted. Numbers inside payloads are unsigned LEB128 varints;
// byte strings are a varint length and the bytes.
//
// The first record is the header: who wrote the journal and what the text
// started from. Either whole lines follow (a snapshot, ended by a count), or
// the starting text is a copy of the document's file kept beside the journal.
// Then come the edits, exactly the buffer's primitive insertions (line pieces,
// which may hold CR or LF bytes of their own) and deletions (ranges), and now
// and then a state record with the time of the last change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view JOURNAL_MAGIC = "WRPJRNL1";
inline constexpr std::uint32_t JOURNAL_VERSION = 1;

enum EJournalRecord : std::uint8_t
{
    JREC_HEADER = 1,
    JREC_SNAPSHOT = 2,      // whole lines of the starting text
    JREC_SNAPSHOT_END = 3,  // the number of lines the snapshot held
    JREC_INSERT = 4,        // line, byte position, the pieces inserted there
    JREC_DELETE = 5,        // start line, start byte, end line, end byte
    JREC_STATE = 6,         // time of the last change, size, line-end mode
};

enum EJournalBase : std::uint8_t
{
    JBASE_SNAPSHOT = 1,  // the starting text follows in snapshot records
    JBASE_FILE = 2,      // the starting text is the base copy, read in the header's line-end mode
};

// What identifies the contents of a file without reading it: a file replaced
// or written to since changes at least one of these.
struct CFileIdentity
{
    bool bValid = false;
    std::uint64_t nDevice = 0;
    std::uint64_t nInode = 0;
    std::uint64_t nSize = 0;
    std::int64_t nMtimeNs = 0;

    friend bool operator==(const CFileIdentity &, const CFileIdentity &) = default;
};

// The identity of the file a path names (following links); invalid when
// there is no such regular file.
CFileIdentity StatFileIdentity(const std::string &strPath);
CFileIdentity FdFileIdentity(int fd);

// The process that writes a journal.
struct COwnerId
{
    std::uint32_t nPid = 0;
    std::uint64_t nStartTime = 0;  // clock ticks after boot, from /proc
    std::string strBootId;
};

struct CJournalHeader
{
    std::uint32_t nVersion = JOURNAL_VERSION;
    COwnerId owner;
    std::int64_t nCreatedMs = 0;   // wall clock, milliseconds since the epoch
    std::string strPath;           // the document's file; empty when untitled
    int nLineEndMode = 0;          // of the starting text
    std::uint8_t nBase = JBASE_SNAPSHOT;
    std::uint64_t nBaseSize = 0;   // JBASE_FILE: bytes of the base copy
    std::uint32_t nBaseCrc = 0;    // JBASE_FILE: its checksum
    CFileIdentity fileAtBase;      // the document's file when the text last matched it
    // How the document writes its file (its character code), in the
    // document's own words; empty in records of older versions, which end
    // the header before it.
    std::string strDocCode;
    // The name an untitled document was shown under ("新規ﾌｧｲﾙ1"), so that
    // the offer to restore it names it as the user knew it; empty for a
    // document with a file and in records of older versions.
    std::string strTitle;
};

struct CJournalState
{
    std::int64_t nTimeMs = 0;      // wall clock of the last change
    std::uint64_t nTextBytes = 0;  // bytes of all lines, separators not counted
    std::uint64_t nLineCount = 1;
    int nLineEndMode = 0;

    // The size of the text written out with its line-end mode.
    std::uint64_t FileSize() const;
};

// ---------------------------------------------------------------------------
// Writing

// Builds one record at the end of a string: the constructor writes the
// length and type, the Put calls the payload, Finish the length and checksum.
class CRecordBuilder
{
public:
    CRecordBuilder(std::string &strOut, EJournalRecord eType);
    void PutVarint(std::uint64_t n);
    void PutSigned(std::int64_t n);
    void PutBytes(std::string_view bytes);  // length, then the bytes
    void PutRaw(std::string_view bytes);    // the bytes alone
    std::size_t PayloadSize() const { return m_strOut.size() - m_nStart - 5; }
    void Finish();

private:
    std::string &m_strOut;
    std::size_t m_nStart;
};

void AppendMagic(std::string &strOut);
void AppendHeader(std::string &strOut, const CJournalHeader &header);
void AppendDelete(std::string &strOut, int nStartLine, int nStartChar, int nEndLine, int nEndChar);
void AppendState(std::string &strOut, const CJournalState &state);
void AppendSnapshotEnd(std::string &strOut, std::uint64_t nLines);

// The lines of a text end to end, with the length of each: all a snapshot
// needs, taken in one flat copy on the thread that edits so that the
// encoding and the checksums can be left to the worker.
struct CTextCopy
{
    std::string strBytes;
    std::vector<std::uint32_t> aLengths;
};
// Snapshot records of the whole text, each of about a megabyte of lines,
// and the record that ends them.
void AppendSnapshot(std::string &strOut, const CTextCopy &text);

// ---------------------------------------------------------------------------
// Reading

struct CJournalRecordView
{
    EJournalRecord eType = JREC_HEADER;
    std::string_view payload;
    std::size_t nOffset = 0;  // of the record within the journal
};

// Walks the sound records of a journal.
class CJournalReader
{
public:
    explicit CJournalReader(std::string_view data);
    bool HasMagic() const { return m_bMagic; }
    // The next sound record; false at the end of the journal or at damage.
    bool Next(CJournalRecordView &record);
    // Bytes follow the last sound record that do not form a record.
    bool IsDamaged() const { return m_bDamaged; }

private:
    std::string_view m_data;
    std::size_t m_nPos = 0;
    bool m_bMagic = false;
    bool m_bDamaged = false;
};

// Reads the numbers and strings of one payload; every read checks the bounds.
class CPayloadReader
{
public:
    explicit CPayloadReader(std::string_view payload) : m_data(payload) {}
    bool Varint(std::uint64_t &n);
    bool Signed(std::int64_t &n);
    bool Int(int &n);  // a varint that fits an int
    bool Bytes(std::string_view &bytes);
    bool AtEnd() const { return m_nPos == m_data.size(); }

private:
    std::string_view m_data;
    std::size_t m_nPos = 0;
};

bool DecodeHeader(std::string_view payload, CJournalHeader &header);
bool DecodeState(std::string_view payload, CJournalState &state);
bool DecodeDelete(std::string_view payload, int &nStartLine, int &nStartChar, int &nEndLine, int &nEndChar);
// The pieces point into the payload.
bool DecodeInsert(std::string_view payload, int &nLine, int &nPos, std::vector<std::string_view> &aPieces);
// Appends the lines of one snapshot record (pointing into the payload).
bool DecodeSnapshot(std::string_view payload, std::vector<std::string_view> &aLines);
bool DecodeSnapshotEnd(std::string_view payload, std::uint64_t &nLines);
