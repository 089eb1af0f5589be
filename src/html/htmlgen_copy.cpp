// Copy as HTML: lines with their syntax colours as a fragment for web pages.
#include "html/htmlgen.h"

#include "html/textconv.h"
#include "syntax/colorsettings.h"
#include "syntax/linesource.h"
#include "syntax/statecache.h"
#include "text/textbuffer.h"

#include <cstdio>

namespace {

// "#rrggbb" of a 0x00BBGGRR colour.
std::string HtmlColor(std::uint32_t cr)
{
    char sz[8];
    std::snprintf(sz, sizeof sz, "#%02x%02x%02x", cr & 0xFF, (cr >> 8) & 0xFF, (cr >> 16) & 0xFF);
    return sz;
}

} // namespace

std::string BuildCopyAsHtml(const CLineSource &lines, int nFirstLine, int nLastLine,
                            const LineBlocksFunc &blocksOf, const ColorOfIndexFunc &colorOf,
                            std::uint32_t crBackground, std::uint32_t crNormalText)
{
    std::string out = "<table bgcolor=\"" + HtmlColor(crBackground)
                      + "\" border=0 cellspacing=0 cellpadding=8><tr><td><!--  Copy as HTML by Wrenpad -->\r\n<pre>";
    std::vector<ColorBlock> aBlocks;
    for (int nLine = nFirstLine; nLine <= nLastLine && nLine < lines.GetLineCount(); ++nLine) {
        const int nLength = lines.GetLineLength(nLine);
        if (nLength == 0) {
            out += "\r\n";
            continue;
        }
        const std::string_view text(lines.GetLineText(nLine), static_cast<std::size_t>(nLength));
        int nBlocks = 0;
        blocksOf(nLine, aBlocks, nBlocks);
        // Text in front of the first run is normal text, as the view draws it.
        struct CRun
        {
            int nPos;
            std::uint32_t cr;
        };
        std::vector<CRun> aRuns;
        if (nBlocks == 0 || aBlocks[0].nCharPos > 0)
            aRuns.push_back({0, crNormalText});
        for (int b = 0; b < nBlocks; ++b) {
            const int nPos = std::min(std::max(aBlocks[static_cast<std::size_t>(b)].nCharPos, 0), nLength);
            const std::uint32_t cr = colorOf(aBlocks[static_cast<std::size_t>(b)].nColorIndex);
            // Of two runs at one place the later one is drawn.
            if (!aRuns.empty() && aRuns.back().nPos == nPos)
                aRuns.back().cr = cr;
            else
                aRuns.push_back({nPos, cr});
        }
        bool bOpen = false;
        std::uint32_t crOpen = 0;
        for (std::size_t r = 0; r < aRuns.size(); ++r) {
            const int nEnd = r + 1 < aRuns.size() ? aRuns[r + 1].nPos : nLength;
            if (nEnd <= aRuns[r].nPos)
                continue;  // a run that holds no text (one at the line end) needs no element
            if (!bOpen)
                out += "<font color=\"" + HtmlColor(aRuns[r].cr) + "\">";
            else if (aRuns[r].cr != crOpen)
                out += "</font><font color=\"" + HtmlColor(aRuns[r].cr) + "\">";
            bOpen = true;
            crOpen = aRuns[r].cr;
            out += EscapeHtmlSpecials(text.substr(static_cast<std::size_t>(aRuns[r].nPos),
                                                  static_cast<std::size_t>(nEnd - aRuns[r].nPos)));
        }
        out += "</font>\r\n";
    }
    out += "</pre></td></tr></table>";
    return out;
}

std::string BuildCopyAsHtmlOfText(std::string_view text, int nViewType)
{
    CCrystalTextBuffer buffer;
    buffer.InitNew();
    int nEndLine = 0;
    int nEndChar = 0;
    buffer.InsertText(nullptr, 0, 0, text, nEndLine, nEndChar);
    const CBufferLineSource lines(buffer);
    CSyntaxColorer colorer(lines, nViewType);

    // The colours of a user who changed none: the settings' defaults for the
    // indices they cover, normal text for the rest.
    const CSystemColors sys;
    std::uint32_t acrByIndex[32];
    for (std::uint32_t &cr : acrByIndex)
        cr = DefaultColor(CLR_NORMALTEXT, sys);
    for (int i = 0; i < CLR_COUNT; ++i) {
        const int nIndex = ColorSettingInfo(i).nColorIndex;
        if (nIndex >= 0 && nIndex < 32)
            acrByIndex[nIndex] = DefaultColor(i, sys);
    }
    const auto colorOf = [&](int nIndex) {
        return nIndex >= 0 && nIndex < 32 ? acrByIndex[nIndex] : acrByIndex[COLORINDEX_NORMALTEXT];
    };
    const auto blocksOf = [&](int nLine, std::vector<ColorBlock> &aBlocks, int &nBlocks) {
        colorer.ParseLineForDrawing(nLine, aBlocks, nBlocks);
    };
    return BuildCopyAsHtml(lines, 0, buffer.GetLineCount() - 1, blocksOf, colorOf,
                           DefaultColor(CLR_BKGND, sys), acrByIndex[COLORINDEX_NORMALTEXT]);
}
