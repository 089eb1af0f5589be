// The web engine module behind the browser bar, with a real engine: kept to
// a few cases, since each starts the engine. A Shift-JIS page that declares
// no code is read right, a copy finds the page's image through its base, a
// page's own declaration counts, the text shown from a copy keeps the place,
// and a view emptied for later use shows the next page as a new one.
#include "preview/preview.h"
#include "webengine/webenginefixture.h"

#include <QUrl>

#ifdef WP_HAVE_WEBENGINE
#include <QWebEngineHistory>
#endif

// Chromium inside Qt WebEngine frees some objects through a base class
// whose size differs; AddressSanitizer would stop every test at the first
// page. Our own code is checked for this in every other test program.
extern "C" const char *__asan_default_options()
{
    return "new_delete_type_mismatch=0";
}

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

TEST_F(WebEngine, TheTextShownFromACopyKeepsThePlace)
{
    std::string strPage;
    for (int i = 0; i < 400; ++i)
        strPage += "<p>\x8d\x73 " + std::to_string(i) + "</p>\n";  // 行 i
    const std::string strPath = m_dir.File("site/long.html");
    WriteFileBytes(strPath, strPage);
    Load([&] { m_pEngine->Navigate(QString::fromStdString(strPath)); });
    Script("window.scrollTo(0, 900); window.scrollY");
    ASSERT_EQ(Script("window.scrollY").toInt(), 900);

    // The text as typed, shown from a copy elsewhere, opens at the same place.
    WriteFileBytes(m_dir.File("tmp/~wpedtmp.htm"), "<p id=\"t\">copy</p>" + strPage);
    Load([&] { m_pEngine->Navigate(QString::fromStdString(m_dir.File("tmp/~wpedtmp.htm")), true); });
    EXPECT_EQ(Script("document.getElementById('t').textContent").toString().toStdString(), "copy");
    ExpectScrolledNear(900);
}

TEST_F(WebEngine, AParkedViewIsEmptyAndShowsTheNextPageAlone)
{
    WriteFileBytes(m_dir.File("site/a.html"), "<p id=\"t\">a</p>");
    WriteFileBytes(m_dir.File("site/b.html"), "<p id=\"t\">b</p>");
    const QString strText = QStringLiteral("document.getElementById('t').textContent");
    auto repark = [&] {
        ASSERT_TRUE(m_pEngine->Park());
        m_pEngine->SetLoadFinishedHandler([this](bool bOk) { m_aLoads.push_back(bOk); });
    };
    Load([&] { m_pEngine->Navigate(QString::fromStdString(m_dir.File("site/a.html"))); });
    Load([&] { m_pEngine->Navigate(QString::fromStdString(m_dir.File("site/b.html"))); });

    // Emptied, and the blank page is nobody's load.
    repark();
    ASSERT_TRUE(QTest::qWaitFor([&] { return View()->url() == QUrl("about:blank") && !View()->page()->isLoading(); },
                                60000));
    QTest::qWait(200);
    const std::size_t nLoads = m_aLoads.size();
    Load([&] { m_pEngine->Navigate(QString::fromStdString(m_dir.File("site/a.html")), true); });
    EXPECT_EQ(Script(strText).toString().toStdString(), "a");
    EXPECT_EQ(m_aLoads.size(), nLoads + 1);
    // No way back to the blank page or the pages before it.
    EXPECT_EQ(View()->history()->count(), 1);

    // A page asked for before the blank one has loaded still reports once.
    repark();
    Load([&] { m_pEngine->Navigate(QString::fromStdString(m_dir.File("site/b.html"))); });
    QTest::qWait(500);
    EXPECT_EQ(m_aLoads.size(), nLoads + 2);
    EXPECT_EQ(Script(strText).toString().toStdString(), "b");
    EXPECT_FALSE(View()->history()->canGoBack());
}

#endif
