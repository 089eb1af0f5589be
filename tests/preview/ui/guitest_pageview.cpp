// The simple page viewer that stands in for the web engine: pages read in
// their own character code, images found beside the page or through the
// <base> of a copy, a refresh that keeps the place, and links.
#include "platform/ui/shellopen.h"
#include "preview/preview.h"
#include "preview/ui/textbrowserpreview.h"
#include "support/testutil.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QTextDocument>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::string SJIS_TEXT = "\x93\xfa\x96\x7b\x8c\xea \xb6\xc5";  // 日本語 ｶﾅ

class PageView : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(m_dir.File("site"));
        std::filesystem::create_directories(m_dir.File("tmp"));
        QImage image(20, 10, QImage::Format_RGB32);
        image.fill(Qt::red);
        ASSERT_TRUE(image.save(QString::fromStdString(m_dir.File("site/img.png"))));
        m_host.resize(400, 200);
        m_host.show();
        m_pEngine = std::make_unique<CTextBrowserPreview>(&m_host);
        m_pEngine->GetWidget()->resize(400, 200);
        m_pEngine->GetWidget()->show();
        m_pEngine->SetLoadFinishedHandler([this](bool bOk) { m_aLoads.push_back(bOk); });
    }

    CPageTextBrowser *Browser() const { return static_cast<CPageTextBrowser *>(m_pEngine->GetWidget()); }
    QString Text() const { return Browser()->toPlainText(); }

    CTempDir m_dir;
    QWidget m_host;
    std::unique_ptr<CTextBrowserPreview> m_pEngine;
    std::vector<bool> m_aLoads;
};

} // namespace

TEST_F(PageView, PagesAreReadInTheirOwnCode)
{
    WriteFileBytes(m_dir.File("site/sjis.html"), "<p>" + SJIS_TEXT + "</p>");
    m_pEngine->Navigate(QString::fromStdString(m_dir.File("site/sjis.html")));
    EXPECT_EQ(Text(), "日本語 ｶﾅ");
    WriteFileBytes(m_dir.File("site/euc.html"), "<meta charset=\"EUC-JP\"><p>\xc6\xfc\xcb\xdc \x8e\xb6</p>");
    m_pEngine->Navigate(QString::fromStdString(m_dir.File("site/euc.html")));
    EXPECT_EQ(Text(), "日本 ｶ");
    EXPECT_EQ(m_aLoads, (std::vector<bool>{true, true}));

    m_pEngine->Navigate(QString::fromStdString(m_dir.File("site/missing.html")));
    EXPECT_FALSE(m_aLoads.back());
}

TEST_F(PageView, ImagesAreFoundBesideThePageOrThroughTheCopysBase)
{
    const std::string strPng = ReadFileBytes(m_dir.File("site/img.png"));
    const std::string strPage = "<head></head><p>" + SJIS_TEXT + "</p><img src=\"img.png\">";
    WriteFileBytes(m_dir.File("site/page.html"), strPage);
    m_pEngine->Navigate(QString::fromStdString(m_dir.File("site/page.html")));
    EXPECT_EQ(Browser()->loadResource(QTextDocument::ImageResource, QUrl("img.png")).toByteArray().toStdString(),
              strPng);

    const std::string strBase =
        QUrl::fromLocalFile(QString::fromStdString(m_dir.File("site/"))).toEncoded().toStdString();
    WriteFileBytes(m_dir.File("tmp/~wpedtmp.htm"), PreviewCopyBytes(strPage, strBase));
    m_pEngine->Navigate(QString::fromStdString(m_dir.File("tmp/~wpedtmp.htm")));
    EXPECT_EQ(Text().left(6), "日本語 ｶﾅ");
    EXPECT_EQ(Browser()->loadResource(QTextDocument::ImageResource, QUrl("img.png")).toByteArray().toStdString(),
              strPng);
    EXPECT_FALSE(Browser()->loadResource(QTextDocument::ImageResource, QUrl("none.png")).isValid());
}

TEST_F(PageView, ARefreshShowsTheNewTextWhereThePageWasScrolledTo)
{
    std::string strPage;
    for (int i = 0; i < 300; ++i)
        strPage += "<p>line " + std::to_string(i) + "</p>\n";
    const std::string strPath = m_dir.File("site/long.html");
    WriteFileBytes(strPath, strPage);
    m_pEngine->Navigate(QString::fromStdString(strPath));
    QApplication::processEvents();
    QScrollBar *pBar = Browser()->verticalScrollBar();
    ASSERT_GT(pBar->maximum(), 300);
    pBar->setValue(300);
    WriteFileBytes(strPath, "<p>changed</p>\n" + strPage);
    m_pEngine->Refresh();
    EXPECT_TRUE(Text().startsWith("changed"));
    EXPECT_EQ(pBar->value(), 300);
    // A plain navigation starts at the top.
    m_pEngine->Navigate(QString::fromStdString(strPath));
    EXPECT_EQ(pBar->value(), 0);
}

TEST_F(PageView, LocalLinksOpenInPlaceAndOthersWithTheDesktop)
{
    std::vector<std::string> aOpened;
    SetShellOpenHook([&aOpened](const std::string &strTarget) {
        aOpened.push_back(strTarget);
        return true;
    });
    WriteFileBytes(m_dir.File("site/next.html"), "<p>next " + SJIS_TEXT + "</p>");
    WriteFileBytes(m_dir.File("site/page.html"), "<p>first</p>");
    m_pEngine->Navigate(QString::fromStdString(m_dir.File("site/page.html")));
    emit Browser()->anchorClicked(QUrl("next.html"));
    EXPECT_EQ(Text(), "next 日本語 ｶﾅ");
    emit Browser()->anchorClicked(QUrl("http://example.jp/a b"));
    SetShellOpenHook(nullptr);
    EXPECT_EQ(aOpened, (std::vector<std::string>{"http://example.jp/a%20b"}));
}
