// Reading a file the way the folder search reads it: line by line, a line of
// more than SEARCH_LINE_MAX bytes as several pieces that each count as a line,
// trailing CR and LF bytes removed.
#pragma once

#include "text/filehandle.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

inline constexpr int SEARCH_LINE_MAX = 4000;
// Bytes a reader keeps at hand (unless the file ends first) so that
// SearchLinePiece sees a whole piece, its line end and the CRs after a cut.
inline constexpr std::size_t SEARCH_LINE_WINDOW = SEARCH_LINE_MAX + 64;

// The next piece of a line in [s, s + nAvail) (nAvail > 0; at least
// SEARCH_LINE_WINDOW bytes unless they end the file): nLen receives its
// length without the line end, nUsed the bytes it takes up with it.
void SearchLinePiece(const char *s, std::size_t nAvail, std::size_t &nLen, std::size_t &nUsed);

// Reads a file in blocks of 128 KB, page-aligned, and cuts them into pieces.
// The folder search also works on the blocks themselves: it looks for its
// text in a whole block and skips the lines before a hit uncut.
class CSearchLineReader
{
public:
    // The size of the block: 128 KB besides the unread rest of the last one.
    static const std::size_t BLOCK_BYTES;

    CSearchLineReader();
    ~CSearchLineReader();
    CSearchLineReader(const CSearchLineReader &) = delete;
    CSearchLineReader &operator=(const CSearchLineReader &) = delete;

    // False when the file cannot be opened (errno tells why).
    bool Open(const std::string &strPath);
    // Opens a regular file of the folder. False, with errno set, when it
    // cannot be opened or is no regular file (a pipe or a device, which
    // could block or never end).
    bool OpenAt(const CFileHandle &folder, const std::string &strName);
    void Close();

    // The next line, valid until the next call. False at the end of the file
    // or on a read error (HasError tells them apart).
    bool NextLine(std::string_view &line);
    // The 1-based number of the line NextLine returned last.
    int GetLineNumber() const { return m_nLine; }
    bool HasError() const { return m_bError; }

    // The block: bytes [0, GetEnd()) of which those from GetPos() on are not read yet.
    const char *GetBlock() const { return m_pBlock.get(); }
    std::size_t GetPos() const { return m_nPos; }
    std::size_t GetEnd() const { return m_nEnd; }
    bool IsAtEof() const { return m_bEof; }
    // Moves the unread bytes to the front of the block and reads behind them
    // until the block is full or the file ends. False on a read error.
    bool Refill();
    // Whether the next piece can be cut from the bytes at hand.
    bool HasWholePiece() const { return m_nPos < m_nEnd && (m_bEof || m_nEnd - m_nPos >= SEARCH_LINE_WINDOW); }
    // Cuts the next piece from the bytes at hand (HasWholePiece() must hold).
    std::string_view NextPiece();
    // Takes nBytes from GetPos() on as read: whole lines, nLines of them.
    void Skip(std::size_t nBytes, int nLines)
    {
        m_nPos += nBytes;
        m_nLine += nLines;
    }

    // The offset in the file (or the source) of GetPos().
    std::size_t GetOffset() const { return m_nBlockOffset + m_nPos; }
    // The whole file from its start, without moving on. False on a read error.
    bool ReadWholeFile(std::string &bytes) const;
    // From now on the bytes come from fnRead, which is given room for at
    // least 8 bytes, returns how many it put there and nothing only once its
    // bytes have run out. The first nSkip of them are dropped:
    // for a file read in another code, the text it decodes to, going on
    // where the file's own bytes (the same there) were read up to. The line
    // count goes on.
    using CSourceRead = std::function<std::size_t(char *p, std::size_t n)>;
    void UseSource(CSourceRead fnRead, std::size_t nSkip);

private:
    void Reset(CFileHandle &&file);

    struct CFreeDeleter
    {
        void operator()(char *p) const;
    };
    CFileHandle m_file;
    std::unique_ptr<char[], CFreeDeleter> m_pBlock;
    CSourceRead m_fnSource;
    std::size_t m_nBlockOffset = 0;  // of the block's first byte
    std::size_t m_nPos = 0;
    std::size_t m_nEnd = 0;
    bool m_bEof = false;
    bool m_bError = false;
    int m_nLine = 0;
    std::size_t m_nOpenSize = 0;     // the size of the file when it was opened, if known
};
