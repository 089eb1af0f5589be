// The keyboard after dialogs and message boxes: whatever the family of the
// dialog, once it has closed the window and the text that opened it have the
// keys again, also on a display where no window manager gives them back.
#include "res/commands.h"
#include "res/commandtable.h"
#include "support/appfixture.h"
#include "ui/progressdlg.h"

#include <QLineEdit>
#include <QTest>

namespace {

class DialogFocus : public CAppFixture
{
protected:
    void SetUp() override
    {
        CAppFixture::SetUp();
        // Each door's hook stands in for a dialog that took the focus and
        // closed without anybody handing it back.
        SetMessageBoxHook([this](const CMsgBoxRequest &box) {
            m_aBoxes.push_back(box);
            LoseFocus();
            return static_cast<int>(IDNO);
        });
        SetFileDialogHook([this](const CFileDialogRequest &request) {
            m_aFileRequests.push_back(request);
            LoseFocus();
            return QStringList();
        });
        SetColorDialogHook([this](const QColor &, QColor &) {
            LoseFocus();
            return false;
        });
        m_fnDialog = [this](QDialog *pDialog) {
            m_aDialogs << pDialog->windowTitle();
            LoseFocus(pDialog);
            // "テーブルの設定" goes on to the table editor.
            return static_cast<int>(pDialog->inherits("CTableSizeDlg") ? QDialog::Accepted : QDialog::Rejected);
        };
    }

    void TearDown() override
    {
        SetColorDialogHook(nullptr);
        CProgressDlg::SetShownHook(nullptr);
        CAppFixture::TearDown();
    }

    // What a dialog does on a display without a window manager: its window
    // takes the focus, and as it closes no window of ours gets it back; the
    // keys go to some other window.
    void LoseFocus(QWidget *pDialog = nullptr)
    {
        if (pDialog) {
            pDialog->show();
            Activate(pDialog);
            pDialog->hide();
            QApplication::processEvents();
        }
        m_elsewhere.resize(40, 20);
        m_elsewhere.show();
        Activate(&m_elsewhere);
        EXPECT_FALSE(View()->hasFocus());
    }

    static void Activate(QWidget *pWindow)
    {
        pWindow->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(pWindow));
        // The widgets hear of it after the window system.
        QApplication::processEvents();
        EXPECT_EQ(QApplication::activeWindow(), pWindow);
    }

    // A document with a line of text, its view in an active window.
    void StartWithText()
    {
        ASSERT_TRUE(Start());
        if (!View())
            Frame()->ExecuteCommand(ID_FILE_NEW);
        Idle();
        ASSERT_NE(View(), nullptr);
        QApplication::setActiveWindow(Frame());
        View()->setFocus();
        QTest::keyClicks(View(), "<b>x</b>");
        ASSERT_TRUE(View()->hasFocus());
    }

    // The view has the keys: its window is the active one and it has the focus.
    void ExpectKeysInTheView(const char *pszWhat)
    {
        Idle();
        EXPECT_EQ(QApplication::activeWindow(), Frame()) << pszWhat;
        EXPECT_TRUE(View()->hasFocus()) << pszWhat;
    }

    QStringList m_aDialogs;
    QWidget m_elsewhere;
};

} // namespace

TEST_F(DialogFocus, TheViewHasTheKeysBackAfterTheProgramsOwnDialogs)
{
    StartWithText();
    // "基本HTML", "テーブルの設定" and the table editor after it, "置換".
    const std::pair<int, qsizetype> aCommands[] = {{ID_WEB_BASIC_HTML, 1}, {ID_WEB_TABLE, 2}, {ID_EDIT_REPLACE, 1}};
    for (const auto &[nID, nDialogs] : aCommands) {
        const char *pszName = FindCommandInfo(nID)->pszName;
        m_aDialogs.clear();
        Frame()->ExecuteCommand(nID);
        EXPECT_EQ(m_aDialogs.size(), nDialogs) << pszName;
        ExpectKeysInTheView(pszName);
    }
}

TEST_F(DialogFocus, TheViewHasTheKeysBackAfterAProgressDialog)
{
    StartWithText();
    CProgressDlg::SetShownHook([this](CProgressDlg *pDlg) {
        Activate(pDlg);
        QObject::connect(pDlg, &QDialog::finished, pDlg, [this] { LoseFocus(); });
    });
    CProgressDlg progress(QStringLiteral("分割"), View());
    EXPECT_EQ(progress.Run([](CProgressDlg::CReport &) { return 7; }), 7);
    ExpectKeysInTheView("progress dialog");
}

TEST_F(DialogFocus, TheViewHasTheKeysBackAfterAMessageBoxAndTheFileAndColourDialogs)
{
    StartWithText();
    View()->SelectAllText();
    Frame()->ExecuteCommand(ID_WEB_KEEP_ONLY_TAGS);
    ASSERT_EQ(m_aBoxes.size(), 1u);
    ExpectKeysInTheView("message box");
    Frame()->ExecuteCommand(ID_FILE_OPEN);
    ASSERT_EQ(m_aFileRequests.size(), 1u);
    ExpectKeysInTheView("file dialog");
    Frame()->ExecuteCommand(ID_WEB_HEX_COLOR);
    ExpectKeysInTheView("colour dialog");
}

TEST_F(DialogFocus, AWindowWhoseControlWentWhileTheBoxWasOpenGetsTheKeysBack)
{
    // A message box over a dialog whose focused field is deleted meanwhile,
    // as a cell editor of the table editor is when its edit ends.
    StartWithText();
    QDialog dlg(Frame());
    auto *pGone = new QLineEdit(&dlg);
    auto *pStays = new QLineEdit(&dlg);
    dlg.show();
    Activate(&dlg);
    pGone->setFocus();
    SetMessageBoxHook([&](const CMsgBoxRequest &) {
        delete pGone;
        pStays->setFocus();
        LoseFocus();
        return static_cast<int>(IDOK);
    });
    MessageBox(&dlg, QStringLiteral("x"));
    Idle();
    EXPECT_EQ(QApplication::activeWindow(), &dlg);
    EXPECT_TRUE(pStays->hasFocus());
}
