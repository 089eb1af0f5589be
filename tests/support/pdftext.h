// The text of a PDF as pdftotext (poppler) reads it: what a reader copies out
// of the file, page by page, independently of how we wrote it.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

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
