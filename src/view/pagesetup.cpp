#include "view/pagesetup.h"

#include "platform/profile.h"

#include <algorithm>
#include <cmath>

namespace {

int LoadMargin(const CProfileStore &store, const char *pszEntry)
{
    const int n = store.GetInt(SECTION_PAGESETUP, pszEntry, CPageMargins::DEFAULT_MARGIN);
    return n >= 0 && n <= CPageMargins::MAX_MARGIN ? n : CPageMargins::DEFAULT_MARGIN;
}

} // namespace

CPageMargins CPageMargins::Load(const CProfileStore &store)
{
    CPageMargins margins;
    margins.nLeft = LoadMargin(store, "LeftMargin");
    margins.nRight = LoadMargin(store, "RightMargin");
    margins.nTop = LoadMargin(store, "TopMargin");
    margins.nBottom = LoadMargin(store, "BottomMargin");
    return margins;
}

void CPageMargins::Save(CProfileStore &store) const
{
    store.WriteInt(SECTION_PAGESETUP, "LeftMargin", nLeft);
    store.WriteInt(SECTION_PAGESETUP, "RightMargin", nRight);
    store.WriteInt(SECTION_PAGESETUP, "TopMargin", nTop);
    store.WriteInt(SECTION_PAGESETUP, "BottomMargin", nBottom);
}

int PrintFontPixelSize(int nScreenPixels, int nScreenDpi, int nPrinterDpi)
{
    if (nScreenPixels <= 0 || nScreenDpi <= 0 || nPrinterDpi <= 0)
        return 2;
    const double dSize = static_cast<double>(nScreenPixels) * nPrinterDpi / (2.0 * nScreenDpi);
    int nSize = static_cast<int>(std::lround(dSize));
    if (nSize % 2 != 0)
        nSize += dSize >= nSize ? 1 : -1;
    return std::max(2, nSize);
}
