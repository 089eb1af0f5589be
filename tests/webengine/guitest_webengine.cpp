// The web engine module behind the browser bar, with a real engine: kept to
// a few cases, since each starts the engine. A Shift-JIS page that declares
// no code is read right, a copy finds the page's image through its base, a
// page's own declaration counts, and a refresh keeps the place.
#include "app/preview.h"
#include "app/previewengine.h"
#include "support/testutil.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QUrl>
#include <QVariant>

#ifdef WP_HAVE_WEBENGINE
#include <QWebEnginePage>
#include <QWebEngineView>
#endif

#include <gtest/gtest.h>

#include <filesystem>

// Chromium inside Qt WebEngine frees some objects through a base class
// whose size differs; AddressSanitizer would stop every test at the first
// page. Our own code is checked for this in every other test program.
extern "C" const char *__asan_default_options()
{
    return "new_delete_type_mismatch=0";
}

namespace {

class WebEngine : public ::testing::Test
{
protected:
    void SetUp() override
    {
#ifndef WP_HAVE_WEBENGINE
        GTEST_SKIP() << "built without Qt WebEngine";
#else
        // The engine's sandbox refuses the superuser, as the tests run in CI.
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        ASSERT_FALSE(WebPreviewModulePath().isEmpty());
        std::filesystem::create_directories(m_dir.File("site"));
        std::filesystem::create_directories(m_dir.File("tmp"));
        QImage image(20, 10, QImage::Format_RGB32);
        image.fill(Qt::red);
        ASSERT_TRUE(image.save(QString::fromStdString(m_dir.File("site/img.png"))));
        m_host.resize(500, 300);
        m_host.show();
        m_pEngine = CreatePreviewEngine(&m_host);
        ASSERT_STREQ(m_pEngine->GetKind(), "webengine");
        m_pEngine->GetWidget()->resize(500, 300);
        m_pEngine->GetWidget()->show();
        m_pEngine->SetLoadFinishedHandler([this](bool bOk) { m_aLoads.push_back(bOk); });
#endif
    }

#ifdef WP_HAVE_WEBENGINE
    // Opens a page (or refreshes) and waits until it has loaded.
    void Load(const std::function<void()> &fnStart)
    {
        const std::size_t nBefore = m_aLoads.size();
        fnStart();
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_aLoads.size() > nBefore; }, 120000));
        ASSERT_TRUE(m_aLoads.back());
    }

    QVariant Script(const QString &strScript)
    {
        auto *pView = qobject_cast<QWebEngineView *>(m_pEngine->GetWidget());
        EXPECT_TRUE(pView);
        QVariant result;
        bool bDone = false;
        pView->page()->runJavaScript(strScript, [&](const QVariant &value) {
            result = value;
            bDone = true;
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return bDone; }, 60000)) << strScript.toStdString();
        return result;
    }

    // The engine puts a page back where it was by the text at the top of the
    // window, which may differ from the old offset by a few pixels.
    void ExpectScrolledNear(int nY)
    {
        int nNow = -1;
        const bool bNear = QTest::qWaitFor(
            [&] {
                nNow = Script("window.scrollY").toInt();
                return std::abs(nNow - nY) <= 20;
            },
            30000);
        EXPECT_TRUE(bNear) << "scrolled to " << nNow;
    }
#endif

    CTempDir m_dir;
    QWidget m_host;
    std::unique_ptr<CPreviewEngine> m_pEngine;
    std::vector<bool> m_aLoads;
};

} // namespace

#ifdef WP_HAVE_WEBENGINE

TEST_F(WebEngine, AShiftJisPageReadsRightAndItsCopyFindsTheImage)
{
    // Half-width katakana alone is what a browser's own guess gets wrong.
    const std::string strPage =
        "<html><head><title>t</title></head><body><p id=\"t\">\xb1\xb2\xb3 \x83\x65</p>"
        "<img src=\"img.png\"></body></html>";
    WriteFileBytes(m_dir.File("site/page.html"), strPage);
    const std::string strBase =
        QUrl::fromLocalFile(QString::fromStdString(m_dir.File("site/"))).toEncoded().toStdString();
    WriteFileBytes(m_dir.File("tmp/~wpedtmp.htm"), PreviewCopyBytes(strPage, strBase));

    const QString strTextAndImage =
        QStringLiteral("document.getElementById('t').textContent + '|' + document.images[0].naturalWidth");
    Load([&] { m_pEngine->Navigate(QString::fromStdString(m_dir.File("site/page.html"))); });
    EXPECT_EQ(Script(strTextAndImage).toString().toStdString(), "ｱｲｳ テ|20");
    Load([&] { m_pEngine->Navigate(QString::fromStdString(m_dir.File("tmp/~wpedtmp.htm"))); });
    EXPECT_EQ(Script(strTextAndImage).toString().toStdString(), "ｱｲｳ テ|20");

    // A page that declares its code is read in it.
    WriteFileBytes(m_dir.File("site/utf8.html"),
                   "<meta charset=\"utf-8\"><p id=\"t\">\xe6\x97\xa5\xe6\x9c\xac \xef\xbd\xb1</p>");
    Load([&] { m_pEngine->Navigate(QString::fromStdString(m_dir.File("site/utf8.html"))); });
    EXPECT_EQ(Script("document.getElementById('t').textContent").toString().toStdString(), "日本 ｱ");
}

TEST_F(WebEngine, ARefreshAndAFollowingCopyKeepThePlace)
{
    std::string strPage = "<p id=\"t\">first</p>";
    for (int i = 0; i < 400; ++i)
        strPage += "<p>\x8d\x73 " + std::to_string(i) + "</p>\n";  // 行 i
    const std::string strPath = m_dir.File("site/long.html");
    WriteFileBytes(strPath, strPage);
    Load([&] { m_pEngine->Navigate(QString::fromStdString(strPath)); });
    Script("window.scrollTo(0, 900); window.scrollY");
    ASSERT_EQ(Script("window.scrollY").toInt(), 900);

    WriteFileBytes(strPath, "<p id=\"t\">second</p>" + strPage.substr(strPage.find("</p>") + 4));
    Load([&] { m_pEngine->Refresh(); });
    EXPECT_EQ(Script("document.getElementById('t').textContent").toString().toStdString(), "second");
    ExpectScrolledNear(900);

    // The text as typed, shown from a copy elsewhere, opens at the same place.
    WriteFileBytes(m_dir.File("tmp/~wpedtmp.htm"), "<p id=\"t\">third</p>" + strPage);
    Load([&] { m_pEngine->Navigate(QString::fromStdString(m_dir.File("tmp/~wpedtmp.htm")), true); });
    EXPECT_EQ(Script("document.getElementById('t').textContent").toString().toStdString(), "third");
    ExpectScrolledNear(900);
}

#endif
