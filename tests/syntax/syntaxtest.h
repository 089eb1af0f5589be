// Helpers for the parse routine tests. A line's colouring is written as one
// letter per byte, so a test reads like the line it checks:
//   . normal  K keyword  W keyword2  C comment  N number  O operator
//   S string  P preprocessor / tag inside  T tag  A attribute
// Every helper also checks what must hold for any line: the state without
// blocks equals the state with blocks, and the blocks stay in order, inside
// the line and within 3 per byte.
#pragma once

#include "syntax/linesource.h"
#include "syntax/parse.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

inline char ColorLetter(int nColorIndex)
{
    static const std::pair<int, char> s_aLetters[] = {
        {COLORINDEX_NORMALTEXT, '.'}, {COLORINDEX_KEYWORD, 'K'}, {COLORINDEX_KEYWORD2, 'W'},
        {COLORINDEX_COMMENT, 'C'},    {COLORINDEX_NUMBER, 'N'},  {COLORINDEX_OPERATOR, 'O'},
        {COLORINDEX_STRING, 'S'},     {COLORINDEX_PREPROCESSOR, 'P'}, {COLORINDEX_TAG, 'T'},
        {COLORINDEX_TAGOPTION, 'A'},
    };
    for (const auto &[nIndex, cLetter] : s_aLetters)
        if (nIndex == nColorIndex)
            return cLetter;
    return '?';
}

struct CParsedLine
{
    std::uint32_t dwState = 0;
    std::vector<ColorBlock> aBlocks;
    std::string strPaint;  // one letter per byte (empty for very long lines)
};

// Parses line nLine of lines from dwCookie, with and without blocks.
inline CParsedLine ParseOne(ParseLineFunc pfn, const CLineSource &lines, int nLine,
                            std::uint32_t dwCookie)
{
    CParsedLine result;
    const int nLength = lines.GetLineLength(nLine);
    // Left uninitialised, as a view's would be; one spare entry gives even an
    // empty line a block array.
    std::unique_ptr<ColorBlock[]> aBuf(new ColorBlock[static_cast<std::size_t>(ColorBlockCapacity(nLength)) + 1]);
    int nItems = 0;
    result.dwState = pfn(lines, dwCookie, nLine, aBuf.get(), nItems);
    int nNoBlocks = 0;
    EXPECT_EQ(pfn(lines, dwCookie, nLine, nullptr, nNoBlocks), result.dwState)
        << "the state depends on whether blocks were asked for, line " << nLine;
    EXPECT_EQ(nNoBlocks, 0);
    EXPECT_LE(nItems, ColorBlockCapacity(nLength));
    result.aBlocks.assign(aBuf.get(), aBuf.get() + nItems);
    int nPrevious = 0;
    for (const ColorBlock &block : result.aBlocks) {
        if (block.nCharPos < nPrevious || block.nCharPos > nLength) {
            ADD_FAILURE() << "block at " << block.nCharPos << " after " << nPrevious
                          << " in a line of " << nLength << " bytes, line " << nLine;
            break;
        }
        nPrevious = block.nCharPos;
    }
    // Letters only for lines short enough to read.
    if (nLength > 4096)
        return result;
    result.strPaint.assign(static_cast<std::size_t>(nLength), '.');
    for (std::size_t i = 0; i < result.aBlocks.size(); ++i) {
        const int nEnd = i + 1 < result.aBlocks.size() ? result.aBlocks[i + 1].nCharPos : nLength;
        for (int p = result.aBlocks[i].nCharPos; p < nEnd; ++p)
            result.strPaint[static_cast<std::size_t>(p)] = ColorLetter(result.aBlocks[i].nColorIndex);
    }
    return result;
}

// Parses the lines in order, each from the state the one above ended in.
inline std::vector<CParsedLine>
ParseLines(ParseLineFunc pfn, const std::vector<std::string_view> &text, std::uint32_t dwCookie = 0)
{
    const CMemoryLineSource lines(text);
    std::vector<CParsedLine> result;
    for (int i = 0; i < lines.GetLineCount(); ++i) {
        result.push_back(ParseOne(pfn, lines, i, dwCookie));
        dwCookie = result.back().dwState;
    }
    return result;
}

inline CParsedLine ParseLine(ParseLineFunc pfn, std::string_view line, std::uint32_t dwCookie = 0)
{
    return ParseLines(pfn, {line}, dwCookie).front();
}

// The colour letters of one line.
inline std::string Paint(ParseLineFunc pfn, std::string_view line, std::uint32_t dwCookie = 0)
{
    return ParseLine(pfn, line, dwCookie).strPaint;
}

// The colour letters of each line of a text, the lines joined by "|".
inline std::string PaintLines(ParseLineFunc pfn, const std::vector<std::string_view> &text,
                              std::uint32_t dwCookie = 0)
{
    std::string s;
    for (const CParsedLine &line : ParseLines(pfn, text, dwCookie)) {
        s += line.strPaint;
        s += '|';
    }
    if (!s.empty())
        s.pop_back();
    return s;
}

// The end states of the lines of a text.
inline std::vector<std::uint32_t>
States(ParseLineFunc pfn, const std::vector<std::string_view> &text, std::uint32_t dwCookie = 0)
{
    std::vector<std::uint32_t> states;
    for (const CParsedLine &line : ParseLines(pfn, text, dwCookie))
        states.push_back(line.dwState);
    return states;
}
