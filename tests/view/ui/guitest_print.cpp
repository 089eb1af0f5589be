// Print jobs written to PDF files and read back with pdftotext: pages and
// page breaks, the header and footer of every page, every line exactly once
// across the breaks, tab stops and margins on paper, and the printed font at
// half the screen size.
#include "support/pdftext.h"
#include "support/testutil.h"
#include "text/codec.h"
#include "text/textbuffer.h"
#include "view/pagesetup.h"
#include "view/ui/fontutil.h"
#include "view/ui/textprint.h"

#include <QPdfWriter>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class PrintJob : public ::testing::Test
{
protected:
    // The document: UTF-8 lines turned into Shift-JIS.
    void SetLines(const std::vector<std::string> &aUtf8)
    {
        m_aLines.clear();
        for (const std::string &s : aUtf8)
            m_aLines.push_back(Utf8ToCp932(s));
    }

    CTextPrintJob::CSource Source() const
    {
        CTextPrintJob::CSource source;
        source.nLineCount = static_cast<int>(m_aLines.size());
        source.fnLine = [this](int n) { return std::string_view(m_aLines[static_cast<std::size_t>(n)]); };
        source.screenFont = MakeViewFont(QString(), 18);
        source.nScreenDpi = 96;
        source.strHeader = QStringLiteral("見出し.txt");
        return source;
    }

    std::unique_ptr<QPdfWriter> Writer(const QString &strFile) const
    {
        auto pWriter = std::make_unique<QPdfWriter>(strFile);
        pWriter->setPageSize(QPageSize(QPageSize::A4));
        ApplyPageMargins(*pWriter, m_margins);
        return pWriter;
    }

    // Prints the document to a file; the page count the job laid out.
    int PrintToPdf(const QString &strFile)
    {
        int nPages = 0;
        {
            auto pWriter = Writer(strFile);
            CTextPrintJob counter(Source());
            counter.BeginPrinting(*pWriter);
            counter.RecalcPageLayouts(*pWriter);
            nPages = counter.GetPageCount();
            CTextPrintJob job(Source());
            EXPECT_TRUE(job.Print(*pWriter));
        }
        return nPages;
    }

    // Prints to a file and reads it back: the lines under the header of each
    // page, after checking that the file has the pages the job laid out.
    QStringList PrintedBody(const char *pszName, int *pPages = nullptr)
    {
        const int nPages = PrintToPdf(Pdf(pszName));
        const QStringList pages = PdfPagesText(Pdf(pszName));
        EXPECT_EQ(pages.size(), nPages) << pszName;
        if (pPages)
            *pPages = nPages;
        return PdfBodyLines(pages, QStringLiteral("見出し.txt"));
    }

    QString Pdf(const char *pszName) const { return QString::fromStdString(m_dir.File(pszName)); }

    CTempDir m_dir;
    std::vector<std::string> m_aLines;
    CPageMargins m_margins;
};

} // namespace

TEST_F(PrintJob, ManyLinesAreEachPrintedOnceAcrossPageBreaks)
{
    std::vector<std::string> aLines;
    for (int i = 1; i <= 700; ++i)
        aLines.push_back(QStringLiteral("%1 日本語の行です、テキスト text").arg(i, 5, 10, QLatin1Char('0')).toStdString());
    SetLines(aLines);
    int nPages = 0;
    const QStringList body = PrintedBody("many.pdf", &nPages);
    EXPECT_GT(nPages, 3);
    ASSERT_EQ(body.size(), 700);
    for (int i = 0; i < 700; ++i)
        ASSERT_EQ(body[i].toStdString(), aLines[static_cast<std::size_t>(i)]) << i;
}

TEST_F(PrintJob, OneLineAndEmptyDocumentsPrintOnePageWithTitleAndFooter)
{
    int nPages = 0;
    SetLines({"たった一行"});
    EXPECT_EQ(PrintedBody("one.pdf", &nPages), QStringList{QStringLiteral("たった一行")});
    EXPECT_EQ(nPages, 1);
    SetLines({""});
    EXPECT_TRUE(PrintedBody("empty.pdf", &nPages).isEmpty());
    EXPECT_EQ(nPages, 1);
}

// A line longer than a whole page wraps into rows that go on over the next
// pages; no row is cut off at the foot of a page.
TEST_F(PrintJob, ALineLongerThanAPageGoesOnOverTheNextPages)
{
    std::string strLong;
    const char *const aWords[] = {"漢字", "ひらがな", "カタカナ", "。", "「括弧」", "、"};
    for (int i = 0; i < 8000; ++i)
        strLong += aWords[i % 6];
    SetLines({"前の行", strLong, "後の行"});
    int nPages = 0;
    QStringList body = PrintedBody("long.pdf", &nPages);
    EXPECT_GE(nPages, 3);
    ASSERT_GE(body.size(), 3);
    EXPECT_EQ(body.front(), QStringLiteral("前の行"));
    EXPECT_EQ(body.back(), QStringLiteral("後の行"));
    // The rows between, joined, are the long line; no row begins with a closing mark.
    body = body.mid(1, body.size() - 2);
    EXPECT_GT(body.size(), 100);
    EXPECT_EQ(body.join(QString()).toStdString(), strLong);
    for (const QString &strRow : body) {
        EXPECT_FALSE(strRow.startsWith(QStringLiteral("。")) || strRow.startsWith(QStringLiteral("、"))
                     || strRow.startsWith(QStringLiteral("」")))
            << strRow.toStdString();
        EXPECT_FALSE(strRow.endsWith(QStringLiteral("「"))) << strRow.toStdString();
    }
}

// The printed text is half as large as on screen, the cells of the text and
// the tab stops are whole cells of that font, and the margins move the text.
TEST_F(PrintJob, HalfSizeFontTabStopsAndMarginsOnPaper)
{
    SetLines({"a\tb\tlong-word", "x"});
    CTextPrintJob job(Source());
    {
        auto pWriter = Writer(Pdf("probe.pdf"));
        job.BeginPrinting(*pWriter);
        job.RecalcPageLayouts(*pWriter);
    }
    // 18 pixels on a 96 dpi screen are 13.5 points; printed, half that.
    EXPECT_EQ(job.GetPrintFont().pixelSize(), PrintFontPixelSize(18, 96, 1200));
    ASSERT_GT(PrintToPdf(Pdf("tabs.pdf")), 0);
    const std::vector<CPdfWord> words = PdfFirstPageWords(Pdf("tabs.pdf"));
    const CPdfWord *pA = FindPdfWord(words, QStringLiteral("a"));
    const CPdfWord *pB = FindPdfWord(words, QStringLiteral("b"));
    const CPdfWord *pLong = FindPdfWord(words, QStringLiteral("long-word"));
    ASSERT_TRUE(pA && pB && pLong);
    const double dHeight = pA->y1 - pA->y0;
    EXPECT_GT(dHeight, 13.5 * 0.4);
    EXPECT_LT(dHeight, 13.5 * 0.63);
    // Character cells: b in cell 4, the word in cell 8.
    const double dCellX = (pB->x0 - pA->x0) / 4;
    EXPECT_NEAR(dCellX, (pLong->x0 - pA->x0) / 8, 0.05);
    EXPECT_NEAR(dCellX * 2, 6.72, 0.2);  // a full-width cell is the font's size
    // The left margin is the distance from the paper's edge.
    EXPECT_NEAR(pA->x0, 10.0 / 25.4 * 72, 1.0);

    m_margins.nLeft = 3000;
    m_margins.nRight = 4000;
    ASSERT_GT(PrintToPdf(Pdf("margins.pdf")), 0);
    const std::vector<CPdfWord> moved = PdfFirstPageWords(Pdf("margins.pdf"));
    const CPdfWord *pMoved = FindPdfWord(moved, QStringLiteral("a"));
    ASSERT_TRUE(pMoved);
    EXPECT_NEAR(pMoved->x0, 30.0 / 25.4 * 72, 1.0);
}

// Wider margins leave fewer cells a row: the same text takes more rows and pages.
TEST_F(PrintJob, MarginsChangeWhereLinesBreak)
{
    std::vector<std::string> aLines(300, std::string(60, 'w') + " " + std::string(60, 'v'));
    SetLines(aLines);
    CTextPrintJob narrow(Source());
    CTextPrintJob wide(Source());
    for (CTextPrintJob *pJob : {&narrow, &wide}) {
        const auto pWriter = Writer(Pdf(pJob == &narrow ? "a.pdf" : "b.pdf"));
        pJob->BeginPrinting(*pWriter);
        pJob->RecalcPageLayouts(*pWriter);
        m_margins.nLeft = m_margins.nRight = 4000;
    }
    // 60 mm less paper width: 60 / 25.4 inches of cells at 1200 dpi.
    EXPECT_NEAR(narrow.GetTextArea().width() - wide.GetTextArea().width(), 60 / 25.4 * 1200, 4);
    EXPECT_LT(wide.GetWrap().nColumns, 121);
    EXPECT_GE(narrow.GetWrap().nColumns, 121);
    EXPECT_GT(wide.GetPageCount(), narrow.GetPageCount());
}
