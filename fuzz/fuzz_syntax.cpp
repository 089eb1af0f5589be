// Every parse routine on lines of any bytes, from any incoming state: no crash,
// no read past a line (each line is an allocation of exactly its length), no
// write past the 3 blocks per byte a view reserves, no block out of order or
// outside the line, an index of the colour table, and the same state whether
// or not blocks were asked for.
//
// Input: four bytes of incoming state, then lines separated by LF.
#include "syntax/linesource.h"
#include "syntax/viewtype.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

void Check(bool bOk)
{
    if (!bOk)
        std::abort();
}

bool IsKnownColor(int nColor)
{
    switch (nColor) {
    case COLORINDEX_NORMALTEXT:
    case COLORINDEX_KEYWORD:
    case COLORINDEX_COMMENT:
    case COLORINDEX_NUMBER:
    case COLORINDEX_OPERATOR:
    case COLORINDEX_STRING:
    case COLORINDEX_PREPROCESSOR:
    case COLORINDEX_TAG:
    case COLORINDEX_TAGOPTION:
    case COLORINDEX_KEYWORD2:
        return true;
    default:
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *pData, std::size_t nSize)
{
    std::uint32_t dwFirst = 0;
    if (nSize >= 4) {
        std::memcpy(&dwFirst, pData, 4);
        pData += 4;
        nSize -= 4;
    }
    CMemoryLineSource lines;
    lines.SetText(std::string_view(reinterpret_cast<const char *>(pData), nSize));

    for (int nType = 0; nType < VIEWTYPE_COUNT; ++nType) {
        const ParseLineFunc pfnParse = ParseLineFuncOfViewType(nType);
        std::uint32_t dwState = dwFirst;
        for (int nLine = 0; nLine < lines.GetLineCount(); ++nLine) {
            const int nLength = lines.GetLineLength(nLine);
            const int nCapacity = ColorBlockCapacity(nLength);
            std::unique_ptr<ColorBlock[]> aBlocks(new ColorBlock[static_cast<std::size_t>(nCapacity)]);
            int nItems = 0;
            const std::uint32_t dwWith = pfnParse(lines, dwState, nLine, aBlocks.get(), nItems);
            int nNone = 0;
            Check(pfnParse(lines, dwState, nLine, nullptr, nNone) == dwWith && nNone == 0);
            Check(nItems >= 0 && nItems <= nCapacity);
            for (int i = 0; i < nItems; ++i) {
                Check(aBlocks[i].nCharPos >= 0 && aBlocks[i].nCharPos <= nLength);
                Check(i == 0 || aBlocks[i - 1].nCharPos <= aBlocks[i].nCharPos);
                Check(IsKnownColor(aBlocks[i].nColorIndex));
            }
            dwState = dwWith;
        }
    }
    return 0;
}
