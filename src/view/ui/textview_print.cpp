// Printing, print preview and page setup of the text view. The pages are laid
// out and drawn by a CTextPrintJob over the view's lines; the view adds the
// texts of the header and the footer, the shared printer and the margins kept
// in the settings.
#include "view/ui/crystaltextview.h"

#include "platform/profile.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/printer.h"
#include "res/commands.h"
#include "view/pagesetup.h"
#include "view/ui/textprint.h"

#include <QApplication>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>

void CCrystalTextView::RegisterPrintCommands()
{
    OnCommand(ID_FILE_PRINT, [this] { OnFilePrint(); });
    OnCommand(ID_FILE_PRINT_PREVIEW, [this] { OnFilePrintPreview(); });
    OnCommand(ID_FILE_PAGE_SETUP, [this] { OnFilePageSetup(); });
}

QString CCrystalTextView::GetPrintHeaderText() const
{
    return QString();
}

QString CCrystalTextView::GetPrintFooterText(int nPage, int nPages) const
{
    return QStringLiteral("Page %1/%2").arg(nPage).arg(nPages);
}

CTextPrintJob::CSource CCrystalTextView::GetPrintSource() const
{
    CTextPrintJob::CSource source;
    source.nLineCount = GetLineCount();
    source.fnLine = [this](int nLine) { return GetLineChars(nLine); };
    source.pExtra = m_pTextBuffer ? m_pTextBuffer->GetExtraChars() : nullptr;
    source.nTabSize = m_nTabSize;
    source.screenFont = m_font;
    source.nScreenDpi = logicalDpiY();
    source.strHeader = GetPrintHeaderText();
    source.bPrintHeader = m_bPrintHeader;
    source.bPrintFooter = m_bPrintFooter;
    source.fnFooter = [this](int nPage, int nPages) { return GetPrintFooterText(nPage, nPages); };
    return source;
}

bool CCrystalTextView::PrintDocument(QPrinter &printer, bool bShowProgress)
{
    CTextPrintJob job(GetPrintSource());
    std::unique_ptr<QProgressDialog> pProgress;
    if (bShowProgress) {
        pProgress = std::make_unique<QProgressDialog>(QStringLiteral("印刷しています..."),
                                                      QStringLiteral("キャンセル"), 0, 0, this);
        pProgress->setWindowTitle(QStringLiteral("印刷"));
        pProgress->setWindowModality(Qt::WindowModal);
        pProgress->setMinimumDuration(500);
    }
    bool bCancelled = false;
    const bool bDone = job.Print(printer, printer.fromPage(), printer.toPage(), [&](int nPage, int nPages) {
        if (!pProgress)
            return true;
        pProgress->setMaximum(nPages);
        pProgress->setValue(nPage);
        QApplication::processEvents();
        if (pProgress->wasCanceled()) {
            // While the pages are still being painted the job can be dropped.
            printer.abort();
            bCancelled = true;
            return false;
        }
        return true;
    });
    if (!bDone && !bCancelled)
        MessageBox(this, QStringLiteral("印刷できませんでした。"), QString(), MB_OK | MB_ICONEXCLAMATION);
    return bDone;
}

void CCrystalTextView::OnFilePrint()
{
    QPrinter &printer = AppPrinter();
    ApplyPageMargins(printer, CPageMargins::Load(AppProfile()));
    printer.setDocName(GetPrintHeaderText());
    printer.setFromTo(0, 0);
    QPrintDialog dlg(&printer, this);
    dlg.setWindowTitle(QStringLiteral("印刷"));
    if (ExecDialog(&dlg) != QDialog::Accepted)
        return;
    PrintDocument(printer, true);
}

void CCrystalTextView::OnFilePrintPreview()
{
    QPrinter &printer = AppPrinter();
    const CPageMargins saved = CPageMargins::Load(AppProfile());
    ApplyPageMargins(printer, saved);
    printer.setDocName(GetPrintHeaderText());
    printer.setFromTo(0, 0);
    QPrintPreviewDialog dlg(&printer, this);
    dlg.setWindowTitle(QStringLiteral("印刷ﾌﾟﾚﾋﾞｭｰ"));
    connect(&dlg, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter *pPrinter) {
        CTextPrintJob job(GetPrintSource());
        job.Print(*pPrinter);
    });
    ExecDialog(&dlg);
    // Margins changed with the preview's own page setup are kept like those
    // of the page setup command.
    const CPageMargins margins = PageMarginsOf(printer);
    if (margins != saved)
        margins.Save(AppProfile());
}

void CCrystalTextView::OnFilePageSetup()
{
    QPrinter &printer = AppPrinter();
    ApplyPageMargins(printer, CPageMargins::Load(AppProfile()));
    QPageSetupDialog dlg(&printer, this);
    dlg.setWindowTitle(QStringLiteral("ページ設定"));
    if (ExecDialog(&dlg) != QDialog::Accepted)
        return;
    PageMarginsOf(printer).Save(AppProfile());
}
