// The help commands: the manual's contents (57667) and F1 (57670), which
// opens the page about whatever has the focus. The manual is shown in the
// browser bar when the full browser engine is there, else in the desktop's
// browser.
//
// F1 reaches the window's key table only while the main window itself is
// active. Inside a dialog (modal ones run their own event loop) and while a
// menu is open it is taken by an application-wide filter instead, so that
// no dialog has to remember to offer help.
#include "app/ui/helpmanual.h"
#include "app/ui/mainframe.h"
#include "app/ui/previewer.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/programfolder.h"
#include "platform/ui/shellopen.h"
#include "res/commands.h"

#include <QApplication>
#include <QKeyEvent>

namespace {

class CHelpKeyFilter : public QObject
{
public:
    explicit CHelpKeyFilter(CMainFrame *pFrame) : QObject(pFrame), m_pFrame(pFrame) {}

protected:
    bool eventFilter(QObject *pWatched, QEvent *pEvent) override
    {
        if (pEvent->type() != QEvent::KeyPress)
            return QObject::eventFilter(pWatched, pEvent);
        const auto *pKey = static_cast<const QKeyEvent *>(pEvent);
        if (pKey->key() != Qt::Key_F1 || (pKey->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        if (!QApplication::activePopupWidget() && !QApplication::activeModalWidget()
            && QApplication::activeWindow() == m_pFrame)
            return false;
        const CHelpTopic topic = CurrentHelpTopic();
        // As with any command chosen from it, the menu closes for the page.
        while (QWidget *pPopup = QApplication::activePopupWidget())
            pPopup->close();
        m_pFrame->ShowHelp(topic);
        return true;
    }

private:
    CMainFrame *m_pFrame;
};

} // namespace

void CMainFrame::RegisterHelpCommands()
{
    OnCommand(ID_HELP_FINDER, [this] { ShowHelp(CHelpTopic{}); });
    OnCommand(ID_HELP, [this] { ShowHelp(CurrentHelpTopic()); });
    qApp->installEventFilter(new CHelpKeyFilter(this));
}

void CMainFrame::ShowHelp(const CHelpTopic &topic)
{
    QWidget *pModal = QApplication::activeModalWidget();
    QWidget *pOwner = pModal ? pModal : this;
    const QUrl url = ResolveHelpTopic(ManualFolder(), topic);
    if (url.isEmpty()) {
        MessageBox(pOwner,
                   QStringLiteral("ヘルプ (マニュアル) のファイルが見つかりません。\n"
                                  "Wrenpad を入れ直すと、マニュアルも share/wrenpad/help に入ります。"),
                   QStringLiteral("ﾍﾙﾌﾟ"), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // While a dialog holds the input, the bar behind it could be neither
    // scrolled nor followed: the desktop's browser shows the page then.
    if (!pModal && m_pPreviewer->ShowManualPage(url.toLocalFile().toStdString(), url.fragment().toStdString()))
        return;
    if (!ShellOpen(url.toString(QUrl::FullyEncoded).toStdString()))
        MessageBox(pOwner,
                   QStringLiteral("ヘルプを表示するブラウザーを起動できませんでした。\n%1").arg(url.toLocalFile()),
                   QStringLiteral("ﾍﾙﾌﾟ"), MB_OK | MB_ICONEXCLAMATION);
}
