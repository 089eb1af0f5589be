// Reading a file the way the folder search reads it: line by line, a line of
// more than SEARCH_LINE_MAX bytes as several pieces that each count as a line,
// trailing CR and LF bytes removed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

inline constexpr int SEARCH_LINE_MAX = 4000;
// Bytes a reader keeps at hand (unless the file ends first) so that
// SearchLinePiece sees a whole piece, its line end and the CRs after a cut.
inline constexpr std::size_t SEARCH_LINE_WINDOW = SEARCH_LINE_MAX + 64;

// The next piece of a line in [s, s + nAvail) (nAvail > 0; at least
// SEARCH_LINE_WINDOW bytes unless they end the file): nLen receives its
// length without the line end, nUsed the bytes it takes up with it.
void SearchLinePiece(const char *s, std::size_t nAvail, std::size_t &nLen, std::size_t &nUsed);

class CSearchLineReader
{
public:
    CSearchLineReader();
    ~CSearchLineReader();
    CSearchLineReader(const CSearchLineReader &) = delete;
    CSearchLineReader &operator=(const CSearchLineReader &) = delete;

    // False when the file cannot be opened (errno tells why).
    bool Open(const std::string &strPath);
    void Close();

    // The next line, valid until the next call. False at the end of the file
    // or on a read error (HasError tells them apart).
    bool NextLine(std::string_view &line);
    // The 1-based number of the line NextLine returned last.
    int GetLineNumber() const { return m_nLine; }
    bool HasError() const { return m_bError; }

private:
    bool Fill();

    int m_fd = -1;
    std::vector<char> m_buffer;
    std::size_t m_nPos = 0;
    std::size_t m_nEnd = 0;
    bool m_bEof = false;
    bool m_bError = false;
    int m_nLine = 0;
};
