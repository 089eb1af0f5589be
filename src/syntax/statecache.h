// The parse state at the end of each line, as a view keeps it: computed
// lazily and only forwards from the last known line, refreshed whenever a
// line is drawn, and marked stale from a changed line on.
#pragma once

#include "syntax/parse.h"

#include <vector>

// What the cache needs from its owner (a view): the lines and the view's parse
// entry.
class CLineParser
{
public:
    virtual ~CLineParser() = default;
    virtual int GetLineCount() const = 0;
    virtual int GetLineLength(int nLine) const = 0;
    virtual std::uint32_t ParseLineColors(std::uint32_t dwCookie, int nLineIndex, ColorBlock *pBuf,
                                          int &nActualItems) = 0;
};

class CLineStateCache
{
public:
    // The state at the end of line nLine (0 for a negative index), parsing
    // without blocks from the nearest line above whose state is known. The
    // array is made on first use with one entry per line; a line past the end
    // reads as the last line.
    std::uint32_t GetLineParseState(CLineParser &parser, int nLine);

    // What drawing a line does: parse it with blocks from the state of the
    // line above and store its end state. An empty line is not parsed (it is
    // drawn without runs); its state comes from the cache. The first nBlocks
    // entries of aBuffer are the runs of the line. For a short line aBuffer is
    // scratch space that grows to 3 blocks per byte; a long one is parsed
    // into room that takes memory only where blocks are written, and aBuffer
    // then holds just its runs.
    std::uint32_t ParseLineForDrawing(CLineParser &parser, int nLine,
                                      std::vector<ColorBlock> &aBuffer, int &nBlocks);

    // A change notification of the buffer (the NOTIFY_ flags and the first
    // changed line, -1 for all). A one-line change marks the states from that
    // line on as stale; other changes first resize the array to nLineCount,
    // keeping the entries above the line. A reset frees the array; a change of
    // line flags only leaves it alone.
    void OnTextChanged(std::uint32_t dwFlags, int nLine, int nLineCount);

    // Marks every state from nLine on as stale.
    void InvalidateFrom(int nLine);
    // Frees the array (a view reset, a change of view type).
    void Reset();

    // Inspection, for tests: the number of entries and whether a line's state
    // is known.
    int GetLineStateCount() const { return m_nCount; }
    bool IsLineStateKnown(int nLine) const { return nLine >= 0 && nLine < m_nKnown; }

private:
    // Makes the array cover nLineCount lines.
    void EnsureSize(int nLineCount);
    // The state of a line the array covers, parsing forwards from the last
    // known line.
    std::uint32_t StateAt(CLineParser &parser, int nLine);
    // Stores the state of line nLine, at most one past the known ones.
    void Store(int nLine, std::uint32_t dwState);

    // States are only ever computed forwards from a known one, so the known
    // states are always the first m_nKnown entries; marking a change is
    // lowering that count, however long the document. The array covers
    // m_nCount lines, but only holds room as far as states were ever known:
    // a large file shown at its top keeps a screenful.
    std::vector<std::uint32_t> m_pdwLineStates;
    int m_nCount = 0;
    int m_nKnown = 0;
};

// A view type, its lines and their state cache together: what the command
// line tool, the benchmarks and the tests colour a document with. A view can
// own one, or implement CLineParser itself around a CLineStateCache.
class CSyntaxColorer : public CLineParser
{
public:
    explicit CSyntaxColorer(const CLineSource &lines, int nViewType);

    int GetViewType() const { return m_nViewType; }
    // Selecting a type discards every cached state.
    void SetViewType(int nViewType);

    int GetLineCount() const override;
    int GetLineLength(int nLine) const override;
    std::uint32_t ParseLineColors(std::uint32_t dwCookie, int nLineIndex, ColorBlock *pBuf,
                                  int &nActualItems) override;

    std::uint32_t GetLineParseState(int nLine) { return m_cache.GetLineParseState(*this, nLine); }
    std::uint32_t ParseLineForDrawing(int nLine, std::vector<ColorBlock> &aBuffer, int &nBlocks)
    {
        return m_cache.ParseLineForDrawing(*this, nLine, aBuffer, nBlocks);
    }
    CLineStateCache &Cache() { return m_cache; }

private:
    const CLineSource &m_lines;
    int m_nViewType;
    CLineStateCache m_cache;
};
