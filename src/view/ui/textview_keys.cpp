// The text view's key table and how commands reach the view and the targets
// behind it.
#include "view/ui/crystaltextview.h"

#include "res/commandtable.h"

#include <QKeyEvent>
#include <QKeySequence>

#include <map>

namespace {

// The key table of every text view: the keys of the command table that belong
// to the view, as key combinations without the keypad flag.
const std::map<int, int> &ViewKeyTable()
{
    static const std::map<int, int> table = [] {
        std::map<int, int> t;
        ForEachCommandKey(CMD_KEYS_VIEW, [&t](std::string_view key, int nID) {
            const QKeySequence seq = QKeySequence::fromString(
                QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size())), QKeySequence::PortableText);
            if (!seq.isEmpty())
                t.emplace(seq[0].toCombined(), nID);
        });
        return t;
    }();
    return table;
}

} // namespace

int CCrystalTextView::CommandForKey(QKeyCombination key)
{
    const Qt::KeyboardModifiers mods = key.keyboardModifiers() & ~Qt::KeypadModifier;
    // Shift+Tab arrives as Backtab.
    const Qt::Key nKey = key.key() == Qt::Key_Backtab ? Qt::Key_Tab : key.key();
    const auto &table = ViewKeyTable();
    auto it = table.find(QKeyCombination(mods, nKey).toCombined());
    return it != table.end() ? it->second : 0;
}

bool CCrystalTextView::RouteCommand(int nID)
{
    if (OnCmdMsg(nID, nullptr))
        return true;
    return m_fnRouteNext && m_fnRouteNext(nID, nullptr);
}

bool CCrystalTextView::RouteUpdate(CCmdUI *pCmdUI)
{
    if (OnCmdMsg(pCmdUI->GetID(), pCmdUI))
        return true;
    return m_fnRouteNext && m_fnRouteNext(pCmdUI->GetID(), pCmdUI);
}

bool CCrystalTextView::OnUnhandledKey(QKeyEvent *pEvent)
{
    (void)pEvent;
    return false;
}

void CCrystalTextView::keyPressEvent(QKeyEvent *pEvent)
{
    const int nID = CommandForKey(pEvent->keyCombination());
    if (nID != 0) {
        // A disabled command does nothing, as its menu item would.
        CCmdUI ui(nID);
        if (!RouteUpdate(&ui) || ui.IsEnabled())
            RouteCommand(nID);
        pEvent->accept();
        return;
    }
    if (OnUnhandledKey(pEvent)) {
        pEvent->accept();
        return;
    }
    QAbstractScrollArea::keyPressEvent(pEvent);
}

bool CCrystalTextView::event(QEvent *pEvent)
{
    switch (pEvent->type()) {
    case QEvent::ShortcutOverride: {
        // The view's own keys come before the window's shortcuts.
        auto *pKey = static_cast<QKeyEvent *>(pEvent);
        if (CommandForKey(pKey->keyCombination()) != 0) {
            pEvent->accept();
            return true;
        }
        break;
    }
    case QEvent::KeyPress: {
        // Tab and Shift+Tab are editing keys here, not focus moves.
        auto *pKey = static_cast<QKeyEvent *>(pEvent);
        if (pKey->key() == Qt::Key_Tab || pKey->key() == Qt::Key_Backtab) {
            keyPressEvent(pKey);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QAbstractScrollArea::event(pEvent);
}
