// The page setup that printing keeps between sessions, and the size of the
// printed text.
#pragma once

class CProfileStore;

inline constexpr const char *SECTION_PAGESETUP = "Wrenpad\\PageSetup";

// The four margins in hundredths of a millimetre ("LeftMargin" ... in the
// settings section Wrenpad\PageSetup), measured from the paper's edges.
struct CPageMargins
{
    static constexpr int DEFAULT_MARGIN = 1000;
    // Anything beyond half a metre is not a margin but a damaged setting.
    static constexpr int MAX_MARGIN = 50000;

    int nLeft = DEFAULT_MARGIN;
    int nRight = DEFAULT_MARGIN;
    int nTop = DEFAULT_MARGIN;
    int nBottom = DEFAULT_MARGIN;

    // A missing, negative or oversized entry gives the default of 10 mm.
    static CPageMargins Load(const CProfileStore &store);
    void Save(CProfileStore &store) const;

    bool operator==(const CPageMargins &) const = default;
};

// The pixel size of the printer font for a screen font of nScreenPixels on a
// screen of nScreenDpi: half the size the text has on screen, so that a page
// holds about as much as two screens side by side. The size is made even,
// because the Japanese fixed-pitch fonts draw a full-width character exactly
// two half-width cells wide only at even sizes.
int PrintFontPixelSize(int nScreenPixels, int nScreenDpi, int nPrinterDpi);
