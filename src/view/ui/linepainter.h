// The line painter: puts the characters of a Shift-JIS line into their
// character cells on any QPainter — a window, an image, a printer page. Every
// byte takes one cell (a double-byte character two, a code of the document's
// table the cells of its character: see textgeom.h), a tab runs to the next
// stop of the line, a character whose glyph is not exactly its cells wide is
// centred in them, and control bytes, NUL and bytes that are not CP932 show
// as boxes. The screen view and the printer both draw through it; colours,
// backgrounds and the selection are the caller's.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QRawFont>

#include <optional>
#include <string_view>

class CExtraChars;
class QColor;
class QPainter;
class QPaintDevice;
class QRect;

// Marks drawn in place of what is otherwise blank.
struct CLineMarks
{
    bool bTabs = false;      // an arrow in a tab's first cell
    bool bZenSpace = false;  // "□" over a full-width space
};

class CLinePainter
{
public:
    // Measures the font as it is drawn on pDevice (the screen when null).
    void SetFont(const QFont &font, const QPaintDevice *pDevice = nullptr);
    const QFont &Font() const { return m_font; }
    int CharWidth() const { return m_nCharWidth; }
    int LineHeight() const { return m_nLineHeight; }
    int Ascent() const { return m_nAscent; }

    // Draws nCount bytes from nOffset of the line in colText, the first of
    // them in the cell at x = nLeft whose display column is nColumn, on the
    // row rcRow.top() .. rcRow.bottom(). Cells wholly outside rcRow's left and
    // right edges are skipped (rcRow is not set as a clip). The codes of
    // pExtra, the document's table of characters Shift-JIS lacks, are drawn
    // as their characters in their cells.
    void DrawChars(QPainter &painter, std::string_view line, int nOffset, int nCount, int nColumn, int nLeft,
                   const QRect &rcRow, const QColor &colText, int nTabSize, CLineMarks marks = CLineMarks(),
                   const CExtraChars *pExtra = nullptr) const;

    // One of the mark images, vertically centred in the cell.
    static void DrawMarkImage(QPainter &painter, int nImage, int x, const QRect &rcCell);

private:
    // Whether a character's glyph is exactly nCells cells wide, so that it
    // can go out with its neighbours as one glyph run.
    bool FitsCells(char32_t c, int nCells) const;
    // The colour emoji font below; null when none is installed.
    const QFont *EmojiFont() const;

    QFont m_font;
    // A colour emoji font at a size whose glyphs fit two cells, when one is
    // installed: the fallback for the view's font would pick any font with
    // the code point, often one with plain outlines.
    mutable std::optional<QFont> m_emojiFont;
    mutable bool m_bEmojiFontKnown = false;
    QFontMetrics m_metrics{QFont()};
    QRawFont m_rawFont;
    int m_nCharWidth = 1;
    int m_nLineHeight = 1;
    int m_nAscent = 0;
    bool m_bAsciiUniform = false;  // every ASCII glyph is exactly one cell wide
    mutable QHash<char32_t, char> m_fitsCells;
};
