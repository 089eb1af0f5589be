// The contract between a view and the line parse routines.
//
// A routine colours one line: it receives the state in which the previous line
// ended (0 above the first line), appends colour runs to an optional block
// array and returns the state in which this line ends. The bits of a state
// belong to each routine. Without a block array a routine returns exactly the
// state it returns with one, so the view can compute states cheaply.
//
// The caller reserves room for 3 blocks per byte of the line and sets the
// count to 0; a routine never writes more, never a position outside
// [0, line length] and never a block before the previous one.
#pragma once

#include "syntax/colorindex.h"

#include <cstdint>

// One colour run of a line: from nCharPos up to the next block's nCharPos (or
// the line end). Text before the first block is normal text.
struct ColorBlock
{
    int nCharPos;     // byte offset in the line
    int nColorIndex;  // a COLORINDEX_ value
};

// The lines a routine reads. The text of a line is not NUL-terminated and may
// be null when the line is empty.
class CLineSource
{
public:
    virtual ~CLineSource() = default;
    virtual int GetLineCount() const = 0;
    virtual int GetLineLength(int nLine) const = 0;
    virtual const char *GetLineText(int nLine) const = 0;
};

// A state no routine returns: marks a cache entry not yet computed.
inline constexpr std::uint32_t PARSE_STATE_UNKNOWN = 0xFFFFFFFF;

// Room a caller reserves for the blocks of a line of nLength bytes.
inline constexpr int ColorBlockCapacity(int nLength)
{
    return nLength > 0 ? 3 * nLength : 0;
}

// The one rule by which every routine adds a block: only with an array, only
// when it does not start before the last block, and only while there is room.
// Two blocks may share a position; the later one wins when drawing.
inline void AddColorBlock(ColorBlock *pBuf, int &nActualItems, int nCapacity, int nPos,
                          int nColorIndex)
{
    if (pBuf == nullptr || nActualItems >= nCapacity)
        return;
    if (nActualItems > 0 && pBuf[nActualItems - 1].nCharPos > nPos)
        return;
    pBuf[nActualItems].nCharPos = nPos;
    pBuf[nActualItems].nColorIndex = nColorIndex;
    ++nActualItems;
}

// Keyword lists are arrays of NUL-terminated entries ending with a null entry.
// A word of nLength bytes matches an entry of exactly that length; without
// bMatchCase ASCII letters compare regardless of case.
bool IsKeywordInList(const char *const *ppszList, const char *pszWord, int nLength,
                     bool bMatchCase = true);

// A decimal number (digits with '+', '-', '.', 'e', 'E' after the first) or a
// hexadecimal one written with "0x" (lower-case x only).
bool IsNumberToken(const char *pszWord, int nLength);

using ParseLineFunc = std::uint32_t (*)(const CLineSource &lines, std::uint32_t dwCookie,
                                        int nLineIndex, ColorBlock *pBuf, int &nActualItems);

// URLs and mail addresses only.
std::uint32_t ParseLineStandard(const CLineSource &lines, std::uint32_t dwCookie, int nLineIndex,
                                ColorBlock *pBuf, int &nActualItems);
// Uniform colour, no keywords.
std::uint32_t ParseLinePlain(const CLineSource &lines, std::uint32_t dwCookie, int nLineIndex,
                             ColorBlock *pBuf, int &nActualItems);
// C, C++, Java, JavaScript, resource scripts.
std::uint32_t ParseLineCpp(const CLineSource &lines, std::uint32_t dwCookie, int nLineIndex,
                           ColorBlock *pBuf, int &nActualItems);
// HTML with tag names, attributes, values and numbers.
std::uint32_t ParseLineHtml(const CLineSource &lines, std::uint32_t dwCookie, int nLineIndex,
                            ColorBlock *pBuf, int &nActualItems);
// HTML tags and comments only.
std::uint32_t ParseLineHtmlSimple(const CLineSource &lines, std::uint32_t dwCookie, int nLineIndex,
                                  ColorBlock *pBuf, int &nActualItems);
std::uint32_t ParseLineVB(const CLineSource &lines, std::uint32_t dwCookie, int nLineIndex,
                          ColorBlock *pBuf, int &nActualItems);
std::uint32_t ParseLinePerl(const CLineSource &lines, std::uint32_t dwCookie, int nLineIndex,
                            ColorBlock *pBuf, int &nActualItems);
std::uint32_t ParseLinePascal(const CLineSource &lines, std::uint32_t dwCookie, int nLineIndex,
                              ColorBlock *pBuf, int &nActualItems);
