// "起動時にIMEﾓｰﾄﾞをONにする" in the running application, against a stand-in
// fcitx5 on a private bus: each view asks at its first focus and only then,
// nothing is asked with the option off, and the options page disables the
// option, saying why, while no input method runs.
#include "app/ui/optionsdlg.h"
#include "app/ui/splitterwnd.h"
#include "platform/ui/inputmethod.h"
#include "res/commands.h"
#include "support/appfixture.h"
#include "support/fakebus.h"

#include <QCheckBox>
#include <QSignalSpy>
#include <QTest>

namespace {

class ImeMode : public CAppFixture
{
protected:
    void SetUp() override
    {
        CAppFixture::SetUp();
        ASSERT_FALSE(m_bus.Address().isEmpty()) << "dbus-daemon did not start";
        CInputMethodBuses buses;
        buses.strSessionAddress = m_bus.Address();
        buses.strIBusAddress = m_bus.Address();
        buses.strProgram = QStringLiteral("wptest");
        m_pSwitch = std::make_unique<CInputMethodSwitch>(buses);
        SetInputMethodSwitch(m_pSwitch.get());
    }

    void TearDown() override
    {
        CAppFixture::TearDown();
        SetInputMethodSwitch(nullptr);
    }

    // Waits until every request made so far has been answered. The switch
    // answers in order, so once a look asked for now is answered, so are they.
    bool Settle()
    {
        QSignalSpy detected(m_pSwitch.get(), &CInputMethodSwitch::Detected);
        m_pSwitch->Detect();
        return detected.wait(20000);
    }

    // The state of the option's check box once the page shows what the input
    // method answered (bWaitEnabled: the state to wait for), and after OK.
    struct CShown
    {
        bool bEnabled = false;
        bool bChecked = false;
        QString strToolTip;
    };
    CShown ShowOptionsAndPressOk(bool bWaitEnabled)
    {
        CShown shown;
        m_fnDialog = [&shown, bWaitEnabled](QDialog *pDialog) {
            auto *pSheet = qobject_cast<COptionsSheet *>(pDialog);
            QCheckBox *pCheck = pSheet ? pSheet->findChild<QCheckBox *>(QStringLiteral("imeModeOn")) : nullptr;
            if (!pCheck)
                return static_cast<int>(QDialog::Rejected);
            // A wait that runs out shows in the state read below.
            static_cast<void>(QTest::qWaitFor([&] { return pCheck->isEnabled() == bWaitEnabled; }, 5000));
            shown = {pCheck->isEnabled(), pCheck->isChecked(), pCheck->toolTip()};
            pSheet->accept();
            return pSheet->result();
        };
        Frame()->ExecuteCommand(ID_VIEW_OPTIONS);
        return shown;
    }

    CPrivateBus m_bus;
    std::unique_ptr<CInputMethodSwitch> m_pSwitch;
};

} // namespace

// How the input method is asked is the switch's business; here when.
TEST_F(ImeMode, EachViewSwitchesTheInputMethodOnAtItsFirstFocusOnly)
{
    CFakeFcitx5 fcitx(m_bus.Address());
    ASSERT_TRUE(fcitx.IsRegistered());
    m_profile.WriteInt(SECTION_MAIN, "bIMEModeON", 1);
    const auto activations = [&fcitx] { return fcitx.m_aCalls.count(QStringLiteral("Activate")); };
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Settle());
    EXPECT_EQ(activations(), 1);

    // The user switches it off; the view losing and taking the focus again
    // leaves that alone.
    fcitx.m_nState = 1;
    CWrenpadView *pFirst = View();
    Frame()->setFocus();
    QApplication::processEvents();
    pFirst->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(Settle());
    EXPECT_EQ(activations(), 1);

    // A new pane is a view of its own: its first focus asks again.
    Frame()->ExecuteCommand(ID_WINDOW_SPLIT);
    CWrenpadView *pPane = Frame()->GetActiveChild()->GetSplitter()->GetPane(0, 1);
    ASSERT_TRUE(pPane && pPane != pFirst);
    pPane->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(Settle());
    EXPECT_EQ(activations(), 2);

    // With the option off, another pane's first focus asks nothing.
    AppSettings().m_bIMEModeON = 0;
    fcitx.m_nState = 1;
    Frame()->GetActiveChild()->GetSplitter()->GetPane(1, 1)->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(Settle());
    EXPECT_EQ(activations(), 2);
}

TEST_F(ImeMode, OptionIsDisabledWithAReasonWhileNoInputMethodRunsAndKeepsItsValue)
{
    m_profile.WriteInt(SECTION_MAIN, "bIMEModeON", 1);
    ASSERT_TRUE(Start());

    const CShown none = ShowOptionsAndPressOk(false);
    EXPECT_TRUE(!none.bEnabled && none.bChecked);
    EXPECT_EQ(none.strToolTip, "入力メソッド (fcitx5 または IBus) が起動していないため、使えません。");
    // OK keeps the stored value rather than turning the option off.
    EXPECT_EQ(m_profile.GetInt(SECTION_MAIN, "bIMEModeON", 0), 1);
    EXPECT_EQ(m_pSwitch->Running(), IMK_NONE);

    // Once an input method runs, the page that opens disabled, as last seen,
    // is enabled again when it answers.
    CFakeFcitx5 fcitx(m_bus.Address());
    ASSERT_TRUE(fcitx.IsRegistered());
    const CShown running = ShowOptionsAndPressOk(true);
    EXPECT_TRUE(running.bEnabled && running.strToolTip.isEmpty());
    EXPECT_EQ(m_pSwitch->Running(), IMK_FCITX5);
}
