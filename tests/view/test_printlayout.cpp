// Printed rows and pages: where lines wrap (words, double-byte characters,
// the kinsoku characters, tabs) and how rows are dealt out to pages; the page
// setup kept in the settings and the size of the printed font.
#include "platform/profile.h"
#include "text/codec.h"
#include "text/extrachars.h"
#include "text/sjis.h"
#include "view/pagesetup.h"
#include "view/printlayout.h"
#include "view/textgeom.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

CPrintWrap Wrap(int nColumns, int nHangCells = 0, int nTabSize = 4)
{
    return CPrintWrap{.nColumns = nColumns, .nTabSize = nTabSize, .nHangCells = nHangCells};
}

// Each row as "from-to@column".
std::string RowBounds(std::string_view line, const CPrintWrap &wrap)
{
    std::vector<CPrintRow> aRows;
    WrapPrintLine(line, wrap, aRows);
    std::string s;
    for (const CPrintRow &row : aRows)
        s += std::to_string(row.nFrom) + "-" + std::to_string(row.nTo) + "@" + std::to_string(row.nColumn) + " ";
    return s;
}

// The rows of a UTF-8 line (converted to Shift-JIS), joined by "|" in UTF-8.
std::string Rows(const std::string &strUtf8, const CPrintWrap &wrap)
{
    const std::string line = Utf8ToCp932(strUtf8);
    std::vector<CPrintRow> aRows;
    WrapPrintLine(line, wrap, aRows);
    EXPECT_EQ(static_cast<int>(aRows.size()), CountPrintRows(line, wrap));
    std::string s;
    for (const CPrintRow &row : aRows) {
        if (&row != &aRows.front())
            s += '|';
        s += Cp932ToUtf8(std::string_view(line).substr(static_cast<std::size_t>(row.nFrom),
                                                       static_cast<std::size_t>(row.nTo - row.nFrom)));
    }
    return s;
}

} // namespace

TEST(PrintWrap, EnglishBreaksAfterBlanksAndCutsOnlyWordsLongerThanARow)
{
    EXPECT_EQ(Rows("hello world", Wrap(8)), "hello |world");
    EXPECT_EQ(Rows("hello world", Wrap(11)), "hello world");
    // The blanks at a break stay behind, unseen; the next row starts with the word.
    EXPECT_EQ(Rows("ab    cd", Wrap(3)), "ab |cd");
    EXPECT_EQ(Rows("abcdefghij", Wrap(4)), "abcd|efgh|ij");
    EXPECT_EQ(Rows("see http://example.com/x now", Wrap(12)), "see |http://examp|le.com/x now");
    EXPECT_EQ(Rows("", Wrap(4)), "");
    // é of a document's table takes one cell and belongs to its word: "cafés"
    // fills a row of five; without the table it is two cells a row may split at.
    CExtraChars extra;
    extra.Add(U'\u00E9');
    const std::string line = "see caf\xF0\x40s ok";
    CPrintWrap wrap = Wrap(5);
    EXPECT_EQ(RowBounds(line, wrap), "0-4@0 4-9@4 9-13@9 ");
    wrap.pExtra = &extra;
    EXPECT_EQ(RowBounds(line, wrap), "0-4@0 4-10@4 11-13@10 ");
}

TEST(PrintWrap, ClosingCharactersNeverBeginARowOpeningOnesNeverEndOne)
{
    // With room beside the row the full stop hangs past its end...
    EXPECT_EQ(Rows("あいう。えお", Wrap(6, 2)), "あいう。|えお");
    // ...without it, the character before goes down with it.
    EXPECT_EQ(Rows("あいう。えお", Wrap(6, 0)), "あい|う。え|お");
    // Two closing characters never hang together: both go down.
    EXPECT_EQ(Rows("あいう」。え", Wrap(6, 2)), "あい|う」。|え");
    EXPECT_EQ(Rows("ab, cd", Wrap(2, 2)), "ab,|cd");
    // An opening bracket goes down to the character it opens.
    EXPECT_EQ(Rows("あい「うえ」", Wrap(6)), "あい|「う|え」");
    EXPECT_EQ(Rows("ab (cd)", Wrap(4)), "ab |(cd)");
    // The long-vowel mark may begin a row.
    EXPECT_EQ(Rows("あいーう", Wrap(4)), "あい|ーう");
    // A row of nothing but closing characters is cut where it must be.
    EXPECT_EQ(Rows("。。。。", Wrap(4)), "。。|。。");
}

TEST(PrintWrap, TabsKeepTheLinesStopsOnEveryRow)
{
    // "a" at 0, "b" at 4, "c" at 8, "d" at 12: four rows of four cells, each
    // row's first cell the column of its first byte.
    EXPECT_EQ(RowBounds("a\tb\tc\td", Wrap(4, 0, 4)), "0-2@0 2-4@4 4-6@8 6-7@12 ");
    // With six cells the tab after "b" would run past the row: it stays
    // behind unseen, and "c" begins the next row at its own column.
    EXPECT_EQ(RowBounds("a\tb\tc\td", Wrap(6, 0, 4)), "0-3@0 4-7@8 ");
    // Leading tabs wider than a row become a row of their own.
    EXPECT_EQ(Rows("\t\tab", Wrap(2, 0, 4)), "|ab");
    EXPECT_EQ(Rows("\t", Wrap(2, 0, 4)), "");
}

// Random lines of every kind of byte: the rows follow each other, no row ends
// inside a double-byte character, every byte that is not a blank at a break
// is in exactly one row, and no row is wider than allowed unless it holds a
// single character.
TEST(PrintWrap, EveryCharacterLandsInExactlyOneRowOnRandomLines)
{
    std::mt19937 rng(20240611);
    const std::string aPieces[] = {"a",    "word",     " ",        "\t",   "\x82\xA0", "\x93\xFA", "\x81\x42",
                                   "\x81\x75", "\x81\x76", "\xB1",  "(",    ")",        "\x81",     "\x82\x20",
                                   "\xFF", "\x81\x81", "  ",       "x.y"};
    std::vector<CPrintRow> aRows;
    for (int nCase = 0; nCase < 3000; ++nCase) {
        std::string line;
        const int nPieces = static_cast<int>(rng() % 40);
        for (int i = 0; i < nPieces; ++i)
            line += aPieces[rng() % std::size(aPieces)];
        const CPrintWrap wrap = Wrap(1 + static_cast<int>(rng() % 12), static_cast<int>(rng() % 3) * 2,
                                     static_cast<int>(rng() % 9));
        WrapPrintLine(line, wrap, aRows);
        ASSERT_FALSE(aRows.empty());
        int nExpected = 0;
        for (const CPrintRow &row : aRows) {
            // Only blanks lie between one row's end and the next row's start.
            for (int i = nExpected; i < row.nFrom; ++i)
                ASSERT_TRUE(line[static_cast<std::size_t>(i)] == ' ' || line[static_cast<std::size_t>(i)] == '\t')
                    << nCase;
            ASSERT_LE(row.nFrom, row.nTo);
            ASSERT_NE(SjisByteKindAt(line, row.nTo), SJIS_TRAIL) << nCase;
            ASSERT_NE(SjisByteKindAt(line, row.nFrom), SJIS_TRAIL) << nCase;
            ASSERT_EQ(row.nColumn, TextToColumn(line, row.nFrom, wrap.nTabSize)) << nCase;
            const int nCells = TextToColumn(line, row.nTo, wrap.nTabSize) - row.nColumn;
            const int nFirstChar = row.nTo > row.nFrom
                                       ? SjisCharLength(line.data() + row.nFrom, line.size() - static_cast<std::size_t>(row.nFrom))
                                       : 0;
            if (row.nTo - row.nFrom > nFirstChar) {
                ASSERT_LE(nCells, wrap.nColumns + wrap.nHangCells) << nCase;
            }
            nExpected = row.nTo;
        }
        for (int i = nExpected; i < static_cast<int>(line.size()); ++i)
            ASSERT_TRUE(line[static_cast<std::size_t>(i)] == ' ' || line[static_cast<std::size_t>(i)] == '\t') << nCase;
    }
}

TEST(PrintPages, OneEmptyOrShortDocumentIsOnePage)
{
    const std::vector<std::string> aOne{"one line"};
    const auto fnLine = [&](int n) { return std::string_view(aOne[static_cast<std::size_t>(n)]); };
    EXPECT_EQ(LayoutPrintPages(1, fnLine, Wrap(80), 50), (std::vector<CPrintPageStart>{{0, 0}}));
    const std::vector<std::string> aEmpty{""};
    EXPECT_EQ(LayoutPrintPages(1, [&](int) { return std::string_view(aEmpty[0]); }, Wrap(80), 50).size(), 1u);
    EXPECT_EQ(LayoutPrintPages(0, fnLine, Wrap(80), 50).size(), 1u);
}

// A line with more rows than a page goes on over the next pages instead of
// being cut off at the foot of the first.
TEST(PrintPages, ALineTallerThanAPageContinuesOnTheNextPages)
{
    std::vector<std::string> aLines{"first", std::string(10 * 25, 'y'), "after", "last"};
    const auto fnLine = [&](int n) { return std::string_view(aLines[static_cast<std::size_t>(n)]); };
    const auto aPages = LayoutPrintPages(4, fnLine, Wrap(10), 10);
    // Page 1: "first"; the 25 rows of line 1 on pages 2-4 (10, 10, 5 rows);
    // "after" and "last" below them on page 4.
    EXPECT_EQ(aPages, (std::vector<CPrintPageStart>{{0, 0}, {1, 0}, {1, 10}, {1, 20}}));

    aLines[1] = std::string(10 * 20, 'y');
    EXPECT_EQ(LayoutPrintPages(4, fnLine, Wrap(10), 10),
              (std::vector<CPrintPageStart>{{0, 0}, {1, 0}, {1, 10}, {2, 0}}));
    // Pages of a single row still show every row.
    EXPECT_EQ(LayoutPrintPages(2, fnLine, Wrap(100), 0).size(), 3u);
}

TEST(PageSetup, MarginsRoundTripAndDamagedEntriesFallBackToTenMillimetres)
{
    CMemoryProfileStore store;
    EXPECT_EQ(CPageMargins::Load(store), CPageMargins());
    CPageMargins margins{.nLeft = 2500, .nRight = 0, .nTop = 1234, .nBottom = 50000};
    margins.Save(store);
    EXPECT_EQ(store.GetInt(SECTION_PAGESETUP, "LeftMargin", -1), 2500);
    EXPECT_EQ(CPageMargins::Load(store), margins);
    store.WriteInt(SECTION_PAGESETUP, "TopMargin", -5);
    store.WriteInt(SECTION_PAGESETUP, "BottomMargin", 50001);
    margins.nTop = margins.nBottom = 1000;
    EXPECT_EQ(CPageMargins::Load(store), margins);
}

TEST(PageSetup, PrintFontIsHalfTheScreenSizeAtAnEvenPixelSize)
{
    // {screen pixels, screen dpi, printer dpi, printed pixels}: 18 pixels at 96
    // dpi are 3/16 inch, half of that at 1200 dpi 112.5; 81.25 lies nearer 82 than 80.
    const int aCases[][4] = {{18, 96, 1200, 112}, {18, 96, 600, 56},   {16, 96, 192, 16}, {13, 96, 1200, 82},
                             {18, 144, 1200, 76}, {1, 96, 96, 2},      {18, 0, 1200, 2}};
    for (const auto &c : aCases)
        EXPECT_EQ(PrintFontPixelSize(c[0], c[1], c[2]), c[3]) << c[0] << " " << c[1] << " " << c[2];
}
