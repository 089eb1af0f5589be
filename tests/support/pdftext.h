// The text of a PDF as pdftotext (poppler) reads it: what a reader copies out
// of the file, page by page, independently of how we wrote it.
#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <vector>

// The pages' text (UTF-8 lines), or an empty list when pdftotext failed.
// Extra arguments go before the file ("-bbox" ...); then the result is one
// page holding pdftotext's whole output.
inline QStringList PdfPagesText(const QString &strPdf, const QStringList &extra = {})
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), QStringList(extra) << QStringLiteral("-enc") << QStringLiteral("UTF-8")
                                                                  << strPdf << QStringLiteral("-"));
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    const QString strText = QString::fromUtf8(process.readAllStandardOutput());
    if (!extra.isEmpty())
        return {strText};
    // Each page ends with a form feed.
    QStringList pages = strText.split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// The non-empty lines of one page, without surrounding blanks.
inline QStringList PdfPageLines(const QString &strPage)
{
    QStringList lines;
    for (const QString &strLine : strPage.split(QLatin1Char('\n'))) {
        if (!strLine.trimmed().isEmpty())
            lines << strLine.trimmed();
    }
    return lines;
}

// The text lines of the pages between their header and footer, after checking
// that every page has the header strHeader above and "Page n/m" below.
inline QStringList PdfBodyLines(const QStringList &pages, const QString &strHeader)
{
    QStringList body;
    for (int i = 0; i < pages.size(); ++i) {
        const QStringList lines = PdfPageLines(pages[i]);
        EXPECT_GE(lines.size(), 2) << i;
        if (lines.size() < 2)
            continue;
        EXPECT_EQ(lines.front(), strHeader) << i;
        EXPECT_EQ(lines.back(), QStringLiteral("Page %1/%2").arg(i + 1).arg(pages.size()));
        body += lines.mid(1, lines.size() - 2);
    }
    return body;
}

// A word of the first page as pdftotext -bbox places it, in points.
struct CPdfWord
{
    QString strText;
    double x0, y0, x1, y1;
};

// The words of the first page.
inline std::vector<CPdfWord> PdfFirstPageWords(const QString &strPdf)
{
    const QStringList out = PdfPagesText(strPdf, {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"),
                                                  QStringLiteral("-l"), QStringLiteral("1")});
    std::vector<CPdfWord> words;
    if (out.isEmpty())
        return words;
    static const QRegularExpression re(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    for (auto it = re.globalMatch(out.front()); it.hasNext();) {
        const auto m = it.next();
        words.push_back({m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                         m.captured(4).toDouble()});
    }
    return words;
}

// The first word of that text on the first page, or null.
inline const CPdfWord *FindPdfWord(const std::vector<CPdfWord> &words, const QString &strText)
{
    for (const CPdfWord &w : words) {
        if (w.strText == strText)
            return &w;
    }
    return nullptr;
}
