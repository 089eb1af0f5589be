#include "app/ui/printpdf.h"

#include "app/appsettings.h"
#include "app/ui/wrenpaddoc.h"
#include "platform/profile.h"
#include "text/codedfile.h"
#include "text/textbuffer.h"
#include "view/pagesetup.h"
#include "view/ui/fontutil.h"
#include "view/ui/textprint.h"

#include <QBuffer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QSaveFile>
#include <QScreen>

int PrintFileToPdf(const QString &strOut, const QString &strFile, QString &strError)
{
    const std::string strPath = strFile.toStdString();
    strError = CWrenpadDoc::OpenFailureText(strPath);
    if (!strError.isEmpty())
        return 1;
    // Printed as the editor shows it: a UTF-8, EUC-JP or JIS file in its own code.
    CCrystalTextBuffer buffer;
    CFileCodeState code;
    if (!LoadCodedFile(buffer, strPath, code)) {
        strError = QStringLiteral("%1\nファイルの読み込みに失敗しました。").arg(strFile);
        return 1;
    }

    // The whole PDF is made in memory first, so that a failure leaves an
    // existing OUT as it was.
    QByteArray pdf;
    {
        QBuffer device(&pdf);
        device.open(QIODevice::WriteOnly);
        QPdfWriter writer(&device);
        writer.setCreator(QStringLiteral("Wrenpad"));
        writer.setTitle(QFileInfo(strFile).fileName());
        writer.setPageSize(QPageSize(QPageSize::A4));
        ApplyPageMargins(writer, CPageMargins::Load(AppProfile()));

        CTextPrintJob::CSource source;
        source.nLineCount = buffer.GetLineCount();
        source.fnLine = [&buffer](int nLine) { return buffer.GetLine(nLine); };
        if (code.eCode != ETextCode::Sjis)
            source.pExtra = &code.extra;
        source.nTabSize = LoadTabStop(AppProfile());
        const CFontSetting font = LoadFontSetting(AppProfile());
        source.screenFont = MakeViewFont(QString::fromStdString(font.strFace), font.nHeight, font.nWeight);
        source.nScreenDpi = QGuiApplication::primaryScreen() ? qRound(QGuiApplication::primaryScreen()->logicalDotsPerInchY())
                                                             : 96;
        source.strHeader = QFileInfo(strFile).fileName();
        CTextPrintJob job(std::move(source));
        if (!job.Print(writer)) {
            strError = QStringLiteral("%1\nPDFを作れませんでした。").arg(strOut);
            return 1;
        }
    }

    QSaveFile out(strOut);
    if (!out.open(QIODevice::WriteOnly) || out.write(pdf) != pdf.size() || !out.commit()) {
        strError = QStringLiteral("%1\nファイルに書き込めません。(%2)").arg(strOut, out.errorString());
        return 1;
    }
    return 0;
}
