// One print job of a text: the printer font (half the screen size), the page
// layout worked out once for the job, and the drawing of each page — the
// title centred above the text, "Page n/m" centred below it, and the lines
// wrapped into the text area in plain black, drawn by the same line painter
// as the screen. It prints onto any paged device: a printer, the print
// preview, a PDF file.
#pragma once

#include "view/printlayout.h"
#include "view/ui/linepainter.h"

#include <QFont>
#include <QRect>
#include <QString>

#include <functional>
#include <vector>

class QPagedPaintDevice;
class QPainter;
class CExtraChars;
struct CPageMargins;

// The device's margins (paper edge to printed area) as the page setup keeps them.
void ApplyPageMargins(QPagedPaintDevice &device, const CPageMargins &margins);
CPageMargins PageMarginsOf(const QPagedPaintDevice &device);

// The face the printer uses for a screen font. The Noto CJK fonts share one
// glyph between a kanji and its radical (日 and ⽇), so the text of a PDF made
// with them reads back as radicals; a Japanese face that keeps them apart is
// used instead where one is installed.
QFont PrintFaceFor(const QFont &screenFont);

class CTextPrintJob
{
public:
    struct CSource
    {
        int nLineCount = 0;
        PrintLineFn fnLine;
        // The document's table of the characters Shift-JIS lacks, if any.
        const CExtraChars *pExtra = nullptr;
        int nTabSize = 4;
        QFont screenFont;
        // The screen's vertical resolution the font's size is meant for.
        int nScreenDpi = 96;
        QString strHeader;
        bool bPrintHeader = true;
        bool bPrintFooter = true;
        // The footer of page n of m; "Page n/m" when not given.
        std::function<QString(int nPage, int nPages)> fnFooter;
    };

    explicit CTextPrintJob(CSource source);

    // Prints pages nFrom to nTo (1-based; 0 for the first or the last) onto
    // the device, which must not be painting yet. fnProgress, when given, hears
    // of every page done (page, pages) and may stop the job by returning
    // false. False when the device could not be painted on or the job was
    // stopped.
    bool Print(QPagedPaintDevice &device, int nFrom = 0, int nTo = 0,
               const std::function<bool(int nPage, int nPages)> &fnProgress = {});

    // --- The steps of Print, for callers that drive the pages themselves ----
    // The printer font for the device.
    void BeginPrinting(const QPagedPaintDevice &device);
    // The text area and the pages of the whole text, once per job.
    void RecalcPageLayouts(const QPagedPaintDevice &device);
    // Draws page nPage (1-based) with painter, which paints on the device.
    void PrintPage(QPainter &painter, int nPage);
    // Forgets the font and the layout: the next job starts afresh.
    void EndPrinting();

    int GetPageCount() const { return m_nPrintPages; }
    const std::vector<CPrintPageStart> &GetPageStarts() const { return m_aPageFirstLine; }
    const QFont &GetPrintFont() const { return m_printFont; }
    int GetPrintLineHeight() const { return m_nPrintLineHeight; }
    const QRect &GetTextArea() const { return m_rcText; }
    const CPrintWrap &GetWrap() const { return m_wrap; }
    QString GetPrintFooterText(int nPage) const;

private:
    void PrintHeader(QPainter &painter);
    void PrintFooter(QPainter &painter, int nPage);

    CSource m_source;
    QFont m_printFont;
    CLinePainter m_painter;
    int m_nPrintLineHeight = 0;
    int m_nPrintPages = 0;
    std::vector<CPrintPageStart> m_aPageFirstLine;
    QRect m_rcPrintable;
    QRect m_rcText;
    CPrintWrap m_wrap;
    std::vector<CPrintRow> m_aRows;
};
