// Printing from the editor: the print, preview and page setup commands on the
// shared printer, the margins kept in the settings across a restart, and
// "wrenpad --print-pdf" as scripts run it.
#include "app/ui/dialoganswer.h"
#include "app/ui/editorrun.h"
#include "platform/ui/printer.h"
#include "platform/ui/qsettingsprofile.h"
#include "res/commands.h"
#include "support/appfixture.h"
#include "support/pdftext.h"
#include "text/codec.h"
#include "view/pagesetup.h"
#include "view/ui/textprint.h"

#include <QDir>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>

namespace {

class Printing : public CAppFixture
{
protected:
    // A document of numbered lines, open in the editor.
    void OpenNumberedDocument(int nLines)
    {
        std::string text;
        for (int i = 1; i <= nLines; ++i)
            text += Utf8ToCp932(QStringLiteral("%1 行の文章\r\n").arg(i).toStdString());
        m_strDocPath = WriteFile("sample.txt", text);
        ASSERT_TRUE(Start({QString::fromStdString(m_strDocPath)}));
        ASSERT_NE(View(), nullptr);
    }

    // The configuration folder of the editor processes the tests start.
    QString ConfigHome() const { return QString::fromStdString(m_dir.File("config")); }
    QString SettingsFile() const { return ConfigHome() + QStringLiteral("/Orvane Applet/Wrenpad.ini"); }

    // Runs the editor with no display and no platform named.
    CEditorRun RunHeadless(const QStringList &args)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *psz : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(psz));
        QDir().mkpath(ConfigHome());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), ConfigHome());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(m_dir.Path()));
        return RunEditor(env, args, 120000);
    }

    std::string m_strDocPath;
};

} // namespace

TEST_F(Printing, PrintCommandPrintsEveryPageWithTheDocumentTitle)
{
    OpenNumberedDocument(300);
    const QString strPdf = QString::fromStdString(m_dir.File("printed.pdf"));
    bool bAsked = false;
    m_fnDialog = Answer<QPrintDialog>([&](QPrintDialog *pPrint) {
        bAsked = true;
        pPrint->printer()->setOutputFormat(QPrinter::PdfFormat);
        pPrint->printer()->setOutputFileName(strPdf);
    });
    View()->RouteCommand(ID_FILE_PRINT);
    ASSERT_TRUE(bAsked);
    const QStringList pages = PdfPagesText(strPdf);
    ASSERT_GT(pages.size(), 1);
    const QStringList body = PdfBodyLines(pages, QStringLiteral("sample.txt"));
    ASSERT_EQ(body.size(), 300);
    EXPECT_EQ(body.back(), QStringLiteral("300 行の文章"));
    EXPECT_TRUE(m_aBoxes.empty());

    // Cancelled: nothing is printed.
    QFile::remove(strPdf);
    m_fnDialog = [](QDialog *) { return static_cast<int>(QDialog::Rejected); };
    View()->RouteCommand(ID_FILE_PRINT);
    EXPECT_FALSE(QFile::exists(strPdf));
}

TEST_F(Printing, PreviewShowsTheSamePagesAsPrinting)
{
    OpenNumberedDocument(500);
    CTextPrintJob job(View()->GetPrintSource());
    ApplyPageMargins(AppPrinter(), CPageMargins::Load(m_profile));
    job.BeginPrinting(AppPrinter());
    job.RecalcPageLayouts(AppPrinter());
    ASSERT_GT(job.GetPageCount(), 2);
    int nPreviewPages = -1;
    m_fnDialog = [&](QDialog *pDialog) {
        if (auto *pPreview = pDialog->findChild<QPrintPreviewWidget *>()) {
            pPreview->updatePreview();
            nPreviewPages = pPreview->pageCount();
        }
        return static_cast<int>(QDialog::Rejected);
    };
    View()->RouteCommand(ID_FILE_PRINT_PREVIEW);
    EXPECT_EQ(nPreviewPages, job.GetPageCount());
}

// The page setup starts from the saved margins and keeps what was chosen;
// a new process prints with them.
TEST_F(Printing, PageSetupMarginsAreKeptAndSurviveARestart)
{
    QDir().mkpath(QFileInfo(SettingsFile()).absolutePath());
    auto pStore = std::make_unique<CQSettingsProfileStore>(SettingsFile());
    OpenNumberedDocument(3);
    SetAppProfile(pStore.get());

    QMarginsF preset;
    m_fnDialog = Answer<QPageSetupDialog>([&](QPageSetupDialog *pSetup) {
        preset = pSetup->printer()->pageLayout().margins(QPageLayout::Millimeter);
        pSetup->printer()->setPageMargins(QMarginsF(25, 12, 30, 15), QPageLayout::Millimeter);
    });
    const auto stored = [&] {
        std::vector<int> a;
        for (const char *psz : {"LeftMargin", "TopMargin", "RightMargin", "BottomMargin"})
            a.push_back(pStore->GetInt(SECTION_PAGESETUP, psz, -1));
        return a;
    };
    View()->RouteCommand(ID_FILE_PAGE_SETUP);
    EXPECT_NEAR(preset.left(), 10, 0.01);
    EXPECT_NEAR(preset.bottom(), 10, 0.01);
    EXPECT_EQ(stored(), (std::vector<int>{2500, 1200, 3000, 1500}));

    // Cancelling changes nothing, whatever the dialog did to the printer.
    m_fnDialog = Answer<QPageSetupDialog>(
        [](QPageSetupDialog *p) { p->printer()->setPageMargins(QMarginsF(1, 1, 1, 1), QPageLayout::Millimeter); },
        QDialog::Rejected);
    View()->RouteCommand(ID_FILE_PAGE_SETUP);
    EXPECT_EQ(stored(), (std::vector<int>{2500, 1200, 3000, 1500}));

    SetAppProfile(&m_profile);
    pStore.reset();
    const QString strPdf = QString::fromStdString(m_dir.File("restart.pdf"));
    // Without a display too; the pages themselves are the print job's business.
    const CEditorRun run = RunHeadless({QStringLiteral("--print-pdf"), strPdf, QString::fromStdString(m_strDocPath)});
    ASSERT_EQ(run.nExit, 0) << run.strErr.toStdString();
    EXPECT_TRUE(run.strErr.isEmpty()) << run.strErr.toStdString();
    const std::vector<CPdfWord> words = PdfFirstPageWords(strPdf);
    const CPdfWord *pFirst = FindPdfWord(words, QStringLiteral("1"));
    ASSERT_TRUE(pFirst);
    EXPECT_NEAR(pFirst->x0, 25 / 25.4 * 72, 1.0);
}

TEST_F(Printing, PrintPdfOptionFailsWithAReasonAndLeavesOutputAlone)
{
    const QString strOut = QString::fromStdString(WriteFile("kept.pdf", "not replaced"));
    const QString strMissing = QString::fromStdString(m_dir.File("missing.txt"));
    const QString strFile = QString::fromStdString(WriteFile("ok.txt", "text\r\n"));
    const QString strNoFolder = QString::fromStdString(m_dir.File("no/such/folder/out.pdf"));
    const struct
    {
        QStringList args;  // after --print-pdf
        int nExit;
        QStringList aSaid;  // in the error output, which is never empty
    } cases[] = {
        {{strOut, strMissing}, 1, {strMissing, QStringLiteral("ファイルが見つかりません")}},
        {{strNoFolder, strFile}, 1, {strNoFolder}},
        {{QString::fromStdString(m_dir.File("x.pdf")), QString::fromStdString(m_dir.Path())}, 1, {}},  // a folder
        {{strFile}, 2, {QStringLiteral("usage")}},
    };
    for (const auto &c : cases) {
        const CEditorRun run = RunHeadless(QStringList{QStringLiteral("--print-pdf")} + c.args);
        EXPECT_EQ(run.nExit, c.nExit) << c.args.join(' ').toStdString();
        EXPECT_FALSE(run.strErr.isEmpty());
        for (const QString &str : c.aSaid)
            EXPECT_TRUE(run.strErr.contains(str)) << run.strErr.toStdString();
    }
    EXPECT_EQ(ReadFileBytes(strOut.toStdString()), "not replaced");
    EXPECT_FALSE(QFile::exists(strNoFolder));
}
