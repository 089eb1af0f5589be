// The options sheet on the real widgets: what OK writes and where it goes,
// that Cancel writes nothing, and validation.
#include "app/recordingstore.h"
#include "app/ui/optionsdlg.h"
#include "app/ui/shellmenuswitch.h"
#include "res/commands.h"
#include "support/appfixture.h"
#include "ui/colorbutton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

class Options : public CAppFixture
{
protected:
    void SetUp() override
    {
        CAppFixture::SetUp();
        SetAppProfile(&m_counting);
        ASSERT_TRUE(Start());
    }

    // Opens the sheet, lets fn fill it in, and answers it with nResult.
    void RunSheet(const std::function<void(COptionsSheet &)> &fn, int nResult)
    {
        m_fnDialog = [fn, nResult](QDialog *pDialog) {
            auto *pSheet = qobject_cast<COptionsSheet *>(pDialog);
            if (!pSheet)
                return static_cast<int>(QDialog::Rejected);
            fn(*pSheet);
            if (nResult == QDialog::Accepted) {
                pSheet->accept();
                return pSheet->result();
            }
            return static_cast<int>(QDialog::Rejected);
        };
        Frame()->ExecuteCommand(ID_VIEW_OPTIONS);
    }

    template <typename T> static T *Find(COptionsSheet &sheet, const char *pszName)
    {
        T *p = sheet.findChild<T *>(QString::fromUtf8(pszName));
        EXPECT_TRUE(p) << pszName;
        return p;
    }

    // The stored numbers of these entries (-1: none).
    std::vector<int> Stored(std::initializer_list<const char *> entries) const
    {
        std::vector<int> a;
        for (const char *psz : entries)
            a.push_back(m_counting.GetInt(SECTION_MAIN, psz, -1));
        return a;
    }

    CRecordingStore m_counting;
};

} // namespace

TEST_F(Options, CancelWritesNothing)
{
    const std::size_t nBefore = m_counting.m_aWrites.size();
    RunSheet(
        [](COptionsSheet &sheet) {
            // Offered only where a file manager can take it.
            EXPECT_EQ(Find<QCheckBox>(sheet, "useShellMenu")->isEnabled(), IsShellMenuSupported());
            Find<QCheckBox>(sheet, "openNewFile")->setChecked(false);
            Find<QPushButton>(sheet, "presetDos")->click();
        },
        QDialog::Rejected);
    EXPECT_EQ(m_counting.m_aWrites.size(), nBefore);
    EXPECT_FALSE(m_counting.HasEntry(SECTION_MAIN, "bOpenNewFile"));
    EXPECT_EQ(AppSettings().m_crColors[CLR_BKGND], m_pApp->SystemColors().crWindow);
}

// What OK writes is the options' own business; here that the sheet's
// controls reach the settings, the open panes, and the sheet opened again.
TEST_F(Options, ChangesRoundTripThroughTheSheetAndReachTheViews)
{
    SetColorDialogHook([](const QColor &, QColor &out) { return out = QColor(0x12, 0x34, 0x56), true; });
    RunSheet(
        [](COptionsSheet &sheet) {
            Find<QLineEdit>(sheet, "mruCount")->setText("0");
            Find<QComboBox>(sheet, "dateFormat")->setEditText("%Y-%m-%d");
            Find<QRadioButton>(sheet, "tagUpper")->setChecked(true);
            Find<QPushButton>(sheet, "presetDos")->click();
            Find<CColorButton>(sheet, "color_clTag")->click();
            Find<QCheckBox>(sheet, "viewTab")->setChecked(true);
            Find<QCheckBox>(sheet, "showTrayIcon")->setChecked(true);
        },
        QDialog::Accepted);
    SetColorDialogHook(nullptr);

    EXPECT_EQ(Stored({"MRUCount", "bTagState", "clBkGnd", "clTag"}), (std::vector<int>{0, 1, 0x800000, 0x563412}));
    EXPECT_EQ(m_counting.GetString(SECTION_MAIN, "strNowDate", ""), "%Y-%m-%d");
    // The open document's panes take the colours and marks at once.
    EXPECT_EQ(View()->GetColor(1), 0x800000u);
    EXPECT_TRUE(View()->m_bShowTabs && Frame()->IsTrayIconVisible());

    // Opened again, the sheet shows what was stored.
    RunSheet(
        [](COptionsSheet &sheet) {
            EXPECT_EQ(Find<QLineEdit>(sheet, "mruCount")->text(), "0");
            EXPECT_TRUE(Find<QRadioButton>(sheet, "tagUpper")->isChecked());
            EXPECT_EQ(Find<CColorButton>(sheet, "color_clTag")->GetColor(), QColor(0x12, 0x34, 0x56));
        },
        QDialog::Rejected);
}

TEST_F(Options, ARecentFileCountOfSeventeenIsRejected)
{
    const std::size_t nBefore = m_counting.m_aWrites.size();
    bool bStillOpen = false;
    RunSheet(
        [&](COptionsSheet &sheet) {
            Find<QLineEdit>(sheet, "mruCount")->setText("17");
            sheet.accept();
            bStillOpen = sheet.result() != QDialog::Accepted;
        },
        QDialog::Rejected);
    EXPECT_TRUE(bStillOpen);
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_EQ(m_aBoxes[0].strText, "0 から 16 までの整数を入力してください。");
    EXPECT_EQ(m_counting.m_aWrites.size(), nBefore);
}
