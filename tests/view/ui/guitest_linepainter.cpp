// The line painter that the screen and the printer share, drawn onto images:
// which cells get ink for each kind of byte, at a screen size and at a
// printer size, and where a row that begins in the middle of a line puts its
// characters.
#include "text/extrachars.h"
#include "view/ui/fontutil.h"
#include "view/ui/linepainter.h"

#include <QFontDatabase>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>

namespace {

// The line drawn in black on white from column nColumn, one image row high.
QImage Paint(const CLinePainter &painter, std::string_view line, int nColumn, int nCells, CLineMarks marks = {},
             const CExtraChars *pExtra = nullptr)
{
    QImage image(nCells * painter.CharWidth(), painter.LineHeight(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setFont(painter.Font());
    painter.DrawChars(p, line, 0, static_cast<int>(line.size()), nColumn, 0, image.rect(), Qt::black, 4, marks,
                      pExtra);
    return image;
}

// Which cells of the image hold pixels darker than nGray: "#" inked, "." blank.
std::string InkedCells(const CLinePainter &painter, const QImage &image, int nGray = 160)
{
    std::string s;
    for (int nCell = 0; nCell < image.width() / painter.CharWidth(); ++nCell) {
        int nDark = 0;
        for (int x = nCell * painter.CharWidth(); x < (nCell + 1) * painter.CharWidth(); ++x)
            for (int y = 0; y < image.height(); ++y)
                nDark += qGray(image.pixel(x, y)) < nGray ? 1 : 0;
        s += nDark > 0 ? '#' : '.';
    }
    return s;
}

} // namespace

// Every byte keeps its cell: a NUL, a control byte and a byte that is not
// CP932 show as marks instead of vanishing or shifting what follows, a
// double-byte character fills two cells, and a tab leaves its cells empty up
// to the next stop. The same holds for the large printer font.
TEST(LinePainter, EveryByteFillsItsOwnCellsOnScreenAndOnPaper)
{
    // A, NUL, 0x01, 0x80 (not CP932), 日 (two cells), tab to column 8, B.
    const std::string line("A\0\x01\x80\x93\xFA\tB", 8);
    for (int nPixels : {18, 112}) {
        CLinePainter painter;
        painter.SetFont(MakeViewFont(QString(), nPixels));
        ASSERT_GT(painter.CharWidth(), 1);
        const QImage image = Paint(painter, line, 0, 10);
        EXPECT_EQ(InkedCells(painter, image), "######..#.") << nPixels;
    }
}

// A printed row that begins after a line's first bytes keeps the line's tab
// stops: the row "\tB" of "xx\tB" starts at column 2, so B lands two cells on.
TEST(LinePainter, ARowStartingInsideALineKeepsTheLinesTabStops)
{
    CLinePainter painter;
    painter.SetFont(MakeViewFont(QString(), 18));
    EXPECT_EQ(InkedCells(painter, Paint(painter, "\tB", 2, 4), 235), "..#.");
    EXPECT_EQ(InkedCells(painter, Paint(painter, "\tB", 0, 6)), "....#.");
    // The tab mark (a grey arrow) begins in the tab's first cell, and only when asked for.
    const std::string strMarked = InkedCells(painter, Paint(painter, "\tB", 2, 4, {.bTabs = true}), 235);
    EXPECT_TRUE(strMarked[0] == '#' && strMarked[2] == '#') << strMarked;
}

namespace {

// The first and last pixel columns with ink, (-1, -1) for none.
std::pair<int, int> InkSpan(const QImage &image)
{
    std::pair<int, int> span(-1, -1);
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (qGray(image.pixel(x, y)) < 160) {
                if (span.first < 0)
                    span.first = x;
                span.second = x;
                break;
            }
        }
    }
    return span;
}

} // namespace

// A document's characters beyond Shift-JIS are drawn as themselves in the
// cells of their characters: a wide kanji of JIS X 0213 across two, a narrow
// accented letter in one, an emoji within two; without the table the same
// codes are the user-defined characters they otherwise are.
TEST(LinePainter, CharactersOfTheTableAreDrawnInTheCellsOfTheirCharacters)
{
    CExtraChars extra;
    ASSERT_EQ(extra.Add(U'\U0002000B'), 0xF040);  // 𠀋, wide
    ASSERT_EQ(extra.Add(U'\u00E9'), 0xF041);      // é, narrow
    ASSERT_EQ(extra.Add(U'\U0001F600'), 0xF042);  // 😀
    CLinePainter painter;
    painter.SetFont(MakeViewFont(QString(), 32));
    const int cw = painter.CharWidth();
    // "x", the code and "x": five cells, the code's from the second on.
    const auto paint = [&](std::string_view code, const CExtraChars *pExtra) {
        return Paint(painter, "x" + std::string(code) + "x", 0, 5, {}, pExtra);
    };
    const auto cells = [&](const QImage &image, int nFrom, int nCount) {
        return InkSpan(image.copy(nFrom * cw, 0, nCount * cw, image.height()));
    };
    const struct
    {
        const char *pszCode;
        int nCells;
    } chars[] = {{"\xF0\x40", 2}, {"\xF0\x41", 1}, {"\xF0\x42", 2}};
    for (const auto &ch : chars) {
        const QImage image = paint(ch.pszCode, &extra);
        const std::pair<int, int> ink = cells(image, 1, ch.nCells);
        // Ink in the character's cells, the second "x" right after them, nothing after that.
        ASSERT_GE(ink.first, 0) << ch.nCells;
        EXPECT_GE(cells(image, 1 + ch.nCells, 1).first, 0) << ch.nCells;
        EXPECT_EQ(cells(image, 2 + ch.nCells, 3 - ch.nCells).first, -1) << ch.nCells;
        if (ch.nCells == 1) {
            // Centred in its cell, give or take a pixel or two.
            EXPECT_LE(ink.second - ink.first, cw);
            EXPECT_LE(std::abs(ink.first - (cw - 1 - ink.second)), 3);
        }
    }
    const std::pair<int, int> wide = cells(paint("\xF0\x40", &extra), 1, 2);
    EXPECT_GT(wide.second - wide.first, cw) << "a wide character spans both cells";
    // With a colour emoji font installed, the emoji is drawn from it in colour
    // (the view's font falls back to any font that has it, often plain outlines).
    if (QFontDatabase::families().contains(QStringLiteral("Noto Color Emoji"))) {
        const QImage image = paint("\xF0\x42", &extra).copy(cw, 0, 2 * cw, painter.LineHeight());
        bool bColour = false;
        for (int y = 0; y < image.height() && !bColour; ++y) {
            for (int x = 0; x < image.width() && !bColour; ++x)
                bColour = QColor(image.pixel(x, y)).hsvSaturation() > 128;
        }
        EXPECT_TRUE(bColour);
    }
    // The codes mean something else without the table.
    EXPECT_NE(paint("\xF0\x41", nullptr), paint("\xF0\x41", &extra));
}
