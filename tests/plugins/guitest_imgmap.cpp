// The image-map plug-in: its markup, its dialog driven as a user drives it
// (rectangles dragged on the image, links written beside them), and the
// plug-in itself loaded, shown, answered and unloaded as the editor does it.
#include "imagemapdlg.h"
#include "imagemapmarkup.h"
#include "plugin/pluginlibrary.h"
#include "support/plugintest.h"
#include "support/webfixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <cstring>

namespace {

void Drag(QWidget *pCanvas, QPoint ptFrom, QPoint ptTo)
{
    QTest::mousePress(pCanvas, Qt::LeftButton, Qt::NoModifier, ptFrom);
    QTest::mouseMove(pCanvas, (ptFrom + ptTo) / 2);
    QTest::mouseMove(pCanvas, ptTo);
    QTest::mouseRelease(pCanvas, Qt::LeftButton, Qt::NoModifier, ptTo);
}

void SetCell(QDialog *pDialog, int nRow, int nColumn, const char *pszText)
{
    auto *pTable = Child<QTableWidget>(pDialog, "mapAreas");
    ASSERT_NE(pTable->item(nRow, nColumn), nullptr) << nRow << "," << nColumn;
    pTable->item(nRow, nColumn)->setText(QString::fromUtf8(pszText));
}

std::string MakeImage(const CTempDir &dir, const char *pszName, int nWidth, int nHeight)
{
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    image.fill(Qt::yellow);
    const std::string strPath = dir.File(pszName);
    EXPECT_TRUE(image.save(QString::fromStdString(strPath), "PNG"));
    return strPath;
}

// The dialog run by fnDrive instead of by the user; the buffer as the editor
// gives it, filled with a mark to see what was written.
struct CRun
{
    int nResult = 0;
    std::string strMarkup;
};

CRun RunDialog(const std::string &strImage, int nSize, const std::function<int(QDialog *)> &fnDrive)
{
    std::vector<char> aBuffer(static_cast<std::size_t>(nSize) + 1, '@');
    CRun run;
    run.nResult = RunImageMapDialog(aBuffer.data(), nSize, strImage.c_str(), fnDrive);
    run.strMarkup.assign(aBuffer.data(), strnlen(aBuffer.data(), static_cast<std::size_t>(nSize)));
    return run;
}

} // namespace

TEST(ImageMapMarkup, AreasInOrderWithTheirTextsEscapedDefaultNamesAndShiftJis)
{
    CImageMapContent map;
    map.strMapName = "top";
    map.strImageSrc = "img/top \"1\".png";
    map.nWidth = 200;
    map.nHeight = 100;
    // Corners in any order, and a drag that went past the image.
    map.aAreas.push_back({60, 70, 10, 20, "a.html?x=1&y=<2>", "エー"});
    map.aAreas.push_back({190, 90, 250, -5, "", ""});
    EXPECT_EQ(BuildImageMapMarkup(map),
              "<img src=\"img/top &quot;1&quot;.png\" width=\"200\" height=\"100\" usemap=\"#top\">\r\n"
              "<map name=\"top\">\r\n"
              "<area shape=\"rect\" coords=\"10,20,60,70\" href=\"a.html?x=1&amp;y=&lt;2&gt;\" alt=\"エー\">\r\n"
              "<area shape=\"rect\" coords=\"190,0,200,90\" alt=\"\">\r\n"
              "</map>");
    map.bImageTag = false;
    map.aAreas.resize(1);
    EXPECT_EQ(BuildImageMapMarkup(map).substr(0, 18), "<map name=\"top\">\r\n");

    // Default names, and the markup in Shift-JIS.
    std::vector<std::string> aNames;
    for (const char *pszPath : {"/srv/www/img/top page.v2.png", "地図.gif", "/srv/.hidden", "/srv/www/"})
        aNames.push_back(DefaultMapName(pszPath));
    EXPECT_EQ(aNames, (std::vector<std::string>{"top_page.v2", "地図", ".hidden", "map"}));
    // エー ① in Shift-JIS; an emoji has no Shift-JIS form and keeps its
    // meaning as a character reference; a broken sequence and a stray
    // continuation byte are one "?" each.
    EXPECT_EQ(MarkupToSjis("alt=\"エー①\xF0\x9F\x98\x80\xE3\x82\"\x80"),
              "alt=\"\x83\x47\x81\x5b\x87\x40&#128512;?\"?");
}

TEST(ImageMapDialog, RectanglesDraggedOnTheImageBecomeTheMap)
{
    CTempDir dir;
    const std::string strImage = MakeImage(dir, "pic.png", 200, 100);
    const CRun run = RunDialog(strImage, IMAGEMAP_BUFFER_SIZE, [](QDialog *pDialog) {
        auto *pCanvas = Child<QWidget>(pDialog, "mapCanvas");
        auto *pOk = Child<QPushButton>(pDialog, "ok");
        EXPECT_FALSE(pOk->isEnabled());
        Drag(pCanvas, QPoint(10, 20), QPoint(60, 70));
        // Dragged up and left, and out of the image.
        Drag(pCanvas, QPoint(150, 40), QPoint(260, -30));
        // Too small to be an area: a click.
        Drag(pCanvas, QPoint(5, 5), QPoint(6, 6));
        EXPECT_EQ(Child<QTableWidget>(pDialog, "mapAreas")->rowCount(), 2);
        EXPECT_TRUE(pOk->isEnabled());
        SetCell(pDialog, 0, 1, "a.html");
        SetCell(pDialog, 0, 2, "alt");
        pOk->click();
        return pDialog->result();
    });
    EXPECT_EQ(run.nResult, 1);
    EXPECT_EQ(run.strMarkup, "<img src=\"pic.png\" width=\"200\" height=\"100\" usemap=\"#pic\">\r\n"
                             "<map name=\"pic\">\r\n"
                             "<area shape=\"rect\" coords=\"10,20,60,70\" href=\"a.html\" alt=\"alt\">\r\n"
                             "<area shape=\"rect\" coords=\"150,0,200,40\" alt=\"\">\r\n"
                             "</map>");
}

TEST(ImageMapDialog, AClickChoosesAnAreaAndDeleteTakesItAway)
{
    CTempDir dir;
    const std::string strImage = MakeImage(dir, "pic.png", 120, 80);
    const CRun run = RunDialog(strImage, IMAGEMAP_BUFFER_SIZE, [](QDialog *pDialog) {
        auto *pCanvas = Child<QWidget>(pDialog, "mapCanvas");
        auto *pTable = Child<QTableWidget>(pDialog, "mapAreas");
        auto *pDelete = Child<QPushButton>(pDialog, "deleteArea");
        Drag(pCanvas, QPoint(10, 10), QPoint(50, 50));
        Drag(pCanvas, QPoint(30, 30), QPoint(100, 70));
        EXPECT_EQ(pTable->currentRow(), 1);
        // A click where both lie chooses the one drawn last; outside both, none.
        QTest::mouseClick(pCanvas, Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
        EXPECT_EQ(pTable->currentRow(), 1);
        QTest::mouseClick(pCanvas, Qt::LeftButton, Qt::NoModifier, QPoint(110, 5));
        EXPECT_EQ(pTable->currentRow(), -1);
        EXPECT_FALSE(pDelete->isEnabled());
        QTest::mouseClick(pCanvas, Qt::LeftButton, Qt::NoModifier, QPoint(15, 15));
        EXPECT_EQ(pTable->currentRow(), 0);
        pDelete->click();
        EXPECT_EQ(pTable->rowCount(), 1);
        EXPECT_EQ(pTable->item(0, 0)->text(), QStringLiteral("30,30,100,70"));
        // Without the image tag, and with a map name that had a blank in it.
        Child<QCheckBox>(pDialog, "imageTag")->setChecked(false);
        Child<QLineEdit>(pDialog, "mapName")->setText(QStringLiteral("main nav"));
        Child<QPushButton>(pDialog, "ok")->click();
        return pDialog->result();
    });
    EXPECT_EQ(run.nResult, 1);
    EXPECT_EQ(run.strMarkup, "<map name=\"main_nav\">\r\n<area shape=\"rect\" coords=\"30,30,100,70\" alt=\"\">\r\n</map>");
}

TEST(ImageMapDialog, MarkupThatDoesNotFitIsRefusedInTheDialog)
{
    CTempDir dir;
    const std::string strImage = MakeImage(dir, "pic.png", 120, 80);
    bool bStayed = false;
    QString strStatus;
    const CRun run = RunDialog(strImage, 100, [&](QDialog *pDialog) {
        Drag(Child<QWidget>(pDialog, "mapCanvas"), QPoint(10, 10), QPoint(50, 50));
        Child<QPushButton>(pDialog, "ok")->click();
        bStayed = pDialog->isVisible() || pDialog->result() != QDialog::Accepted;
        strStatus = Child<QLabel>(pDialog, "mapStatus")->text();
        // Cancel then.
        pDialog->reject();
        return pDialog->result();
    });
    EXPECT_TRUE(bStayed);
    EXPECT_TRUE(strStatus.contains(QStringLiteral("99 バイトまで"))) << strStatus.toStdString();
    EXPECT_EQ(run.nResult, 0);
    EXPECT_EQ(run.strMarkup, std::string(100, '@'));
}

TEST(ImageMapDialog, AnImageThatCannotBeReadIsToldAndGivesNothing)
{
    CTempDir dir;
    WriteFileBytes(dir.File("bad.png"), "not an image");
    QString strTold;
    const CRun run = RunDialog(dir.File("bad.png"), IMAGEMAP_BUFFER_SIZE, [&strTold](QDialog *pDialog) {
        if (auto *pBox = qobject_cast<QMessageBox *>(pDialog))
            strTold = pBox->text();
        return static_cast<int>(QDialog::Accepted);
    });
    EXPECT_EQ(run.nResult, 0);
    EXPECT_TRUE(strTold.startsWith(QStringLiteral("画像ファイルを読み込めません。"))) << strTold.toStdString();
    std::vector<char> aBuffer(8, '@');
    EXPECT_EQ(RunImageMapDialog(aBuffer.data(), 1, dir.File("bad.png").c_str(), [](QDialog *) { return 1; }), 0);
    EXPECT_EQ(RunImageMapDialog(aBuffer.data(), 8, "", [](QDialog *) { return 1; }), 0);
}

TEST(ImageMapDialog, TheShippedPluginShowsTheDialogAndGoesAgain)
{
    CTempDir dir;
    InstallPluginFile(dir.Path(), IMAGEMAP_PLUGIN, WP_IMGMAP_PLUGIN);
    const std::string strImage = MakeImage(dir, "shot.png", 64, 48);
    std::string strMarkup;
    for (int nRound = 0; nRound < 2; ++nRound) {
        CImageMapPlugin plugin;
        ASSERT_EQ(plugin.Open({dir.Path()}), IMAGEMAP_OK);
        // The dialog is the plug-in's own: found once it is up, then answered.
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&timer] {
            auto *pModal = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!pModal || pModal->objectName() != QStringLiteral("imageMapDialog"))
                return;
            timer.stop();
            Drag(Child<QWidget>(pModal, "mapCanvas"), QPoint(4, 4), QPoint(20, 30));
            Child<QPushButton>(pModal, "ok")->click();
        });
        timer.start(20);
        EXPECT_EQ(plugin.Run(strImage, strMarkup), IMAGEMAP_OK);
    }
    // Nothing the plug-in made is used after it was unloaded.
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_NE(strMarkup.find("<area shape=\"rect\" coords=\"4,4,20,30\" alt=\"\">"), std::string::npos) << strMarkup;
}
