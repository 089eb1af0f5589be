#include "view/ui/textprint.h"

#include "view/pagesetup.h"

#include <QFontDatabase>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

void ApplyPageMargins(QPagedPaintDevice &device, const CPageMargins &margins)
{
    device.setPageMargins(QMarginsF(margins.nLeft, margins.nTop, margins.nRight, margins.nBottom) / 100.0,
                          QPageLayout::Millimeter);
}

CPageMargins PageMarginsOf(const QPagedPaintDevice &device)
{
    const QMarginsF mm = device.pageLayout().margins(QPageLayout::Millimeter);
    CPageMargins margins;
    margins.nLeft = static_cast<int>(std::lround(mm.left() * 100));
    margins.nTop = static_cast<int>(std::lround(mm.top() * 100));
    margins.nRight = static_cast<int>(std::lround(mm.right() * 100));
    margins.nBottom = static_cast<int>(std::lround(mm.bottom() * 100));
    return margins;
}

QFont PrintFaceFor(const QFont &screenFont)
{
    QFont font = screenFont;
    const QString strFamily = QFontInfo(screenFont).family();
    if (!strFamily.startsWith(QStringLiteral("Noto")) || !strFamily.contains(QStringLiteral("CJK")))
        return font;
    const QStringList families = QFontDatabase::families();
    for (const QString &strFace : {QStringLiteral("IPAGothic"), QStringLiteral("VL Gothic")}) {
        if (families.contains(strFace, Qt::CaseInsensitive)) {
            font.setFamily(strFace);
            break;
        }
    }
    return font;
}

CTextPrintJob::CTextPrintJob(CSource source) : m_source(std::move(source))
{
    if (!m_source.fnFooter)
        m_source.fnFooter = [](int nPage, int nPages) { return QStringLiteral("Page %1/%2").arg(nPage).arg(nPages); };
}

QString CTextPrintJob::GetPrintFooterText(int nPage) const
{
    return m_source.fnFooter(nPage, m_nPrintPages);
}

void CTextPrintJob::BeginPrinting(const QPagedPaintDevice &device)
{
    m_printFont = PrintFaceFor(m_source.screenFont);
    const int nScreenPixels = m_source.screenFont.pixelSize() > 0
                                  ? m_source.screenFont.pixelSize()
                                  : QFontMetrics(m_source.screenFont).height();
    m_printFont.setPixelSize(PrintFontPixelSize(nScreenPixels, m_source.nScreenDpi, device.logicalDpiY()));
    m_painter.SetFont(m_printFont, &device);
}

void CTextPrintJob::RecalcPageLayouts(const QPagedPaintDevice &device)
{
    // The device paints inside its margins already: its whole area is the
    // printable area.
    m_rcPrintable = QRect(0, 0, device.width(), device.height());
    m_nPrintLineHeight = m_painter.LineHeight();
    m_rcText = m_rcPrintable;
    const int nBand = m_nPrintLineHeight + m_nPrintLineHeight / 2;
    if (m_source.bPrintHeader)
        m_rcText.setTop(m_rcText.top() + nBand);
    if (m_source.bPrintFooter)
        m_rcText.setBottom(m_rcText.bottom() - nBand);

    const int nCharWidth = m_painter.CharWidth();
    m_wrap.nColumns = std::max(1, m_rcText.width() / nCharWidth);
    m_wrap.nTabSize = m_source.nTabSize;
    m_wrap.pExtra = m_source.pExtra;
    // A closing character may hang into the right margin where it has room.
    const int nRightMargin =
        static_cast<int>(device.pageLayout().marginsPixels(device.logicalDpiX()).right());
    m_wrap.nHangCells = std::clamp((nRightMargin + m_rcText.width() % nCharWidth) / nCharWidth, 0, 2);
    const int nRowsPerPage = std::max(1, m_rcText.height() / m_nPrintLineHeight);
    m_aPageFirstLine = LayoutPrintPages(m_source.nLineCount, m_source.fnLine, m_wrap, nRowsPerPage);
    m_nPrintPages = static_cast<int>(m_aPageFirstLine.size());
}

void CTextPrintJob::PrintHeader(QPainter &painter)
{
    const int nBand = m_nPrintLineHeight + m_nPrintLineHeight / 2;
    const QRect rcBand(m_rcText.left(), m_rcText.top() - nBand, m_rcText.width(), nBand);
    const QString strText = painter.fontMetrics().elidedText(m_source.strHeader, Qt::ElideMiddle, rcBand.width());
    painter.drawText(rcBand, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, strText);
}

void CTextPrintJob::PrintFooter(QPainter &painter, int nPage)
{
    const int nBand = m_nPrintLineHeight + m_nPrintLineHeight / 2;
    const QRect rcBand(m_rcText.left(), m_rcText.bottom() + 1, m_rcText.width(), nBand);
    painter.drawText(rcBand, Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine, GetPrintFooterText(nPage));
}

void CTextPrintJob::PrintPage(QPainter &painter, int nPage)
{
    if (nPage < 1 || nPage > m_nPrintPages)
        return;
    painter.setFont(m_printFont);
    painter.setPen(Qt::black);
    if (m_source.bPrintHeader)
        PrintHeader(painter);
    if (m_source.bPrintFooter)
        PrintFooter(painter, nPage);

    const CPrintPageStart first = m_aPageFirstLine[static_cast<std::size_t>(nPage - 1)];
    const CPrintPageStart next = nPage < m_nPrintPages ? m_aPageFirstLine[static_cast<std::size_t>(nPage)]
                                                       : CPrintPageStart{m_source.nLineCount, 0};
    const int nCharWidth = m_painter.CharWidth();
    const QColor colText(Qt::black);
    int y = m_rcText.top();
    for (int nLine = first.nLine; nLine < m_source.nLineCount; ++nLine) {
        if (nLine > next.nLine || (nLine == next.nLine && next.nRow == 0))
            break;
        const std::string_view line = m_source.fnLine(nLine);
        WrapPrintLine(line, m_wrap, m_aRows);
        const int nFirstRow = nLine == first.nLine ? first.nRow : 0;
        const int nEndRow = nLine == next.nLine ? next.nRow : static_cast<int>(m_aRows.size());
        for (int nRow = nFirstRow; nRow < nEndRow && nRow < static_cast<int>(m_aRows.size()); ++nRow) {
            const CPrintRow &row = m_aRows[static_cast<std::size_t>(nRow)];
            const QRect rcRow(m_rcText.left(), y, (m_wrap.nColumns + m_wrap.nHangCells) * nCharWidth,
                              m_nPrintLineHeight);
            if (row.nTo > row.nFrom)
                m_painter.DrawChars(painter, line, row.nFrom, row.nTo - row.nFrom, row.nColumn, m_rcText.left(), rcRow,
                                    colText, m_wrap.nTabSize, CLineMarks(), m_source.pExtra);
            y += m_nPrintLineHeight;
        }
    }
}

void CTextPrintJob::EndPrinting()
{
    m_aPageFirstLine.clear();
    m_nPrintPages = 0;
    m_nPrintLineHeight = 0;
    m_printFont = QFont();
}

bool CTextPrintJob::Print(QPagedPaintDevice &device, int nFrom, int nTo,
                          const std::function<bool(int nPage, int nPages)> &fnProgress)
{
    BeginPrinting(device);
    RecalcPageLayouts(device);
    const int nFirst = std::clamp(nFrom > 0 ? nFrom : 1, 1, m_nPrintPages);
    const int nLast = std::clamp(nTo > 0 ? nTo : m_nPrintPages, nFirst, m_nPrintPages);
    QPainter painter;
    if (!painter.begin(&device)) {
        EndPrinting();
        return false;
    }
    bool bDone = true;
    for (int nPage = nFirst; nPage <= nLast; ++nPage) {
        if (nPage > nFirst && !device.newPage()) {
            bDone = false;
            break;
        }
        PrintPage(painter, nPage);
        if (fnProgress && !fnProgress(nPage, m_nPrintPages)) {
            bDone = false;
            break;
        }
    }
    painter.end();
    EndPrinting();
    return bDone;
}
