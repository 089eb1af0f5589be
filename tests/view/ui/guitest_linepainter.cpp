// The line painter that the screen and the printer share, drawn onto images:
// which cells get ink for each kind of byte, at a screen size and at a
// printer size, and where a row that begins in the middle of a line puts its
// characters.
#include "view/ui/fontutil.h"
#include "view/ui/linepainter.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <string>

namespace {

// The line drawn in black on white from column nColumn, one image row high.
QImage Paint(const CLinePainter &painter, std::string_view line, int nColumn, int nCells, CLineMarks marks = {})
{
    QImage image(nCells * painter.CharWidth(), painter.LineHeight(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setFont(painter.Font());
    painter.DrawChars(p, line, 0, static_cast<int>(line.size()), nColumn, 0, image.rect(), Qt::black, 4, marks);
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
    CLineMarks marks;
    marks.bTabs = true;
    const std::string strMarked = InkedCells(painter, Paint(painter, "\tB", 2, 4, marks), 235);
    EXPECT_EQ(strMarked[0], '#');
    EXPECT_EQ(strMarked[2], '#');
}
