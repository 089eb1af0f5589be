// Line sources for the parse routines: a document's buffer, or lines held in
// memory (tests, benchmarks, fuzzing).
#pragma once

#include "syntax/parse.h"

#include <memory>
#include <string_view>
#include <vector>

class CCrystalTextBuffer;

class CBufferLineSource : public CLineSource
{
public:
    explicit CBufferLineSource(const CCrystalTextBuffer &buffer) : m_buffer(buffer) {}
    int GetLineCount() const override;
    int GetLineLength(int nLine) const override;
    const char *GetLineText(int nLine) const override;

private:
    const CCrystalTextBuffer &m_buffer;
};

// Each line lives in an allocation of exactly its length, with no terminator,
// so that a read past a line's end is caught by the address sanitizer.
class CMemoryLineSource : public CLineSource
{
public:
    CMemoryLineSource() = default;
    explicit CMemoryLineSource(const std::vector<std::string_view> &lines);
    void AddLine(std::string_view line);
    // Replaces the lines with the text split at LF (a final LF ends the last line).
    void SetText(std::string_view text);

    int GetLineCount() const override { return static_cast<int>(m_aLines.size()); }
    int GetLineLength(int nLine) const override { return m_aLines[static_cast<std::size_t>(nLine)].nLength; }
    const char *GetLineText(int nLine) const override
    {
        return m_aLines[static_cast<std::size_t>(nLine)].pText.get();
    }

private:
    struct CLine
    {
        std::unique_ptr<char[]> pText;  // null for an empty line
        int nLength = 0;
    };
    std::vector<CLine> m_aLines;
};
