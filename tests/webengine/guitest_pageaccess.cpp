// What a previewed page may reach on the disk: what a browser lets a page
// opened from a file reach. Its tags show files from its parent folders; its
// scripts read no local file, and the user's location is refused. The page
// reports each outcome in its own text, which the tests read back.
#include "app/ui/previewer.h"
#include "preview/preview.h"
#include "preview/ui/browserbar.h"
#include "templates/ui/templatedlg.h"
#include "ui/sizingbar.h"
#include "webengine/localsite.h"
#include "webengine/webenginefixture.h"

#include <QCheckBox>
#include <QListWidget>
#include <QMainWindow>

#ifdef WP_HAVE_WEBENGINE
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#endif

#include <map>

#ifdef WP_HAVE_WEBENGINE

namespace {

class PageAccess : public WebEngine
{
protected:
    // Shows the page and waits until it has reported everything it tries,
    // or for long enough that a missing report means the page got no answer.
    std::map<std::string, std::string> Outcomes(const std::string &strPath)
    {
        Load([&] { m_pEngine->Navigate(QString::fromStdString(strPath)); });
        (void)QTest::qWaitFor([&] { return Script("window.nDone").toInt() >= SITE_KEY_COUNT; }, 30000);
        std::map<std::string, std::string> outcomes;
        const QString strList = Script("Array.from(document.querySelectorAll('#out li'))"
                                       ".map(function (item) { return item.textContent; }).join('\\n')")
                                    .toString();
        for (const QString &strLine : strList.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const qsizetype nAt = strLine.indexOf(QLatin1Char('='));
            outcomes[strLine.left(nAt).toStdString()] = strLine.mid(nAt + 1).toStdString();
        }
        return outcomes;
    }

    void ExpectLikeABrowser(const std::string &strPath)
    {
        SCOPED_TRACE(strPath);
        std::map<std::string, std::string> expected = {{"style", "123px"}, {"geo", "denied"}};
        for (const char *pszKey : SITE_TAG_KEYS)
            expected[pszKey] = "loaded";
        for (const char *pszKey : SITE_READ_KEYS)
            expected[pszKey] = "refused";
        EXPECT_EQ(Outcomes(strPath), expected);
        EXPECT_EQ(Script("String(window.siteScript)").toString().toStdString(), "ran");
        EXPECT_FALSE(Script("document.documentElement.outerHTML").toString().contains(QLatin1String(SITE_SECRET)));
    }
};

} // namespace

TEST_F(PageAccess, APageShowsItsParentsFilesButItsScriptsReadNoLocalFile)
{
    const CLocalSite site = MakeLocalSite(m_dir);
    ExpectLikeABrowser(site.strPage);

    // The text as typed, shown from a copy in another folder, finds the same
    // files through its base and reads no more than the page.
    const std::string strBase =
        QUrl::fromLocalFile(QString::fromStdString(site.strFolder + "/sub/")).toEncoded().toStdString();
    WriteFileBytes(m_dir.File("tmp/~wpedtmp.htm"), PreviewCopyBytes(site.strSource, strBase));
    ExpectLikeABrowser(m_dir.File("tmp/~wpedtmp.htm"));
}

TEST_F(PageAccess, EveryPageViewOfTheProgramHasTheSameSettings)
{
    const auto fnExpectPreviewSettings = [this](QWidget *pWidget, const char *pszWhich) {
        SCOPED_TRACE(pszWhich);
        auto *pView = qobject_cast<QWebEngineView *>(pWidget);
        ASSERT_TRUE(pView);
        // The one profile carries the guard against scripts' reads.
        EXPECT_EQ(pView->page()->profile(), View()->page()->profile());
        const QWebEngineSettings *pSettings = pView->page()->settings();
        EXPECT_TRUE(pSettings->testAttribute(QWebEngineSettings::JavascriptEnabled));
        EXPECT_TRUE(pSettings->testAttribute(QWebEngineSettings::AutoLoadImages));
        for (const auto attribute :
             {QWebEngineSettings::LocalContentCanAccessFileUrls, QWebEngineSettings::LocalContentCanAccessRemoteUrls,
              QWebEngineSettings::JavascriptCanOpenWindows, QWebEngineSettings::JavascriptCanAccessClipboard,
              QWebEngineSettings::JavascriptCanPaste, QWebEngineSettings::AllowRunningInsecureContent,
              QWebEngineSettings::AllowGeolocationOnInsecureOrigins, QWebEngineSettings::PluginsEnabled})
            EXPECT_FALSE(pSettings->testAttribute(attribute)) << attribute;
    };

    // The template dialog's preview.
    std::filesystem::create_directories(m_dir.File("templates"));
    WriteFileBytes(m_dir.File("templates/page.html"), "<p>template</p>");
    {
        CTemplateSelectDlg dlg(QString::fromStdString(m_dir.File("templates")));
        dlg.GetPreviewCheck()->setChecked(true);
        dlg.GetList()->setCurrentRow(0);
        ASSERT_TRUE(dlg.GetPreviewEngine());
        ASSERT_STREQ(dlg.GetPreviewEngine()->GetKind(), "webengine");
        fnExpectPreviewSettings(dlg.GetPreviewEngine()->GetWidget(), "template preview");
    }

    // The manual, shown in the browser bar.
    QMainWindow frame;
    auto *pDock = new CSizingControlBar(213, QStringLiteral("IE WebBrowser"), QSize(400, 300), &frame);
    CPreviewer previewer(&frame, pDock);
    ASSERT_TRUE(previewer.ShowManualPage(WP_SOURCE_DIR "/data/help/index.html", std::string()));
    fnExpectPreviewSettings(previewer.GetBrowserBar()->GetEngine()->GetWidget(), "manual");
}

#endif
