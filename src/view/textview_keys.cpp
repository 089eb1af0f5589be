// The text view's key table and how commands reach the view and the targets
// behind it.
#include "view/crystaltextview.h"

#include "res/commands.h"

#include <QKeyEvent>

#include <map>

namespace {

// The key table of every text view.
const std::map<int, int> &ViewKeyTable()
{
    static const std::map<int, int> table = [] {
        std::map<int, int> t;
        auto add = [&t](QKeyCombination key, int nID) { t[key.toCombined()] = nID; };
        const Qt::KeyboardModifier S = Qt::ShiftModifier;
        const Qt::KeyboardModifier C = Qt::ControlModifier;
        const Qt::KeyboardModifier A = Qt::AltModifier;
        const Qt::KeyboardModifier N = Qt::NoModifier;
        add(QKeyCombination(N, Qt::Key_Left), ID_EDIT_CHAR_LEFT);
        add(QKeyCombination(S, Qt::Key_Left), ID_EDIT_EXT_CHAR_LEFT);
        add(QKeyCombination(N, Qt::Key_Right), ID_EDIT_CHAR_RIGHT);
        add(QKeyCombination(S, Qt::Key_Right), ID_EDIT_EXT_CHAR_RIGHT);
        add(QKeyCombination(C, Qt::Key_Left), ID_EDIT_WORD_LEFT);
        add(QKeyCombination(C | S, Qt::Key_Left), ID_EDIT_EXT_WORD_LEFT);
        add(QKeyCombination(C, Qt::Key_Right), ID_EDIT_WORD_RIGHT);
        add(QKeyCombination(C | S, Qt::Key_Right), ID_EDIT_EXT_WORD_RIGHT);
        add(QKeyCombination(N, Qt::Key_Up), ID_EDIT_LINE_UP);
        add(QKeyCombination(S, Qt::Key_Up), ID_EDIT_EXT_LINE_UP);
        add(QKeyCombination(N, Qt::Key_Down), ID_EDIT_LINE_DOWN);
        add(QKeyCombination(S, Qt::Key_Down), ID_EDIT_EXT_LINE_DOWN);
        add(QKeyCombination(C, Qt::Key_Up), ID_EDIT_SCROLL_UP);
        add(QKeyCombination(C, Qt::Key_Down), ID_EDIT_SCROLL_DOWN);
        add(QKeyCombination(N, Qt::Key_PageUp), ID_EDIT_PAGE_UP);
        add(QKeyCombination(S, Qt::Key_PageUp), ID_EDIT_EXT_PAGE_UP);
        add(QKeyCombination(N, Qt::Key_PageDown), ID_EDIT_PAGE_DOWN);
        add(QKeyCombination(S, Qt::Key_PageDown), ID_EDIT_EXT_PAGE_DOWN);
        add(QKeyCombination(N, Qt::Key_End), ID_EDIT_LINE_END);
        add(QKeyCombination(S, Qt::Key_End), ID_EDIT_EXT_LINE_END);
        add(QKeyCombination(N, Qt::Key_Home), ID_EDIT_HOME);
        add(QKeyCombination(S, Qt::Key_Home), ID_EDIT_EXT_HOME);
        add(QKeyCombination(C, Qt::Key_Home), ID_EDIT_TEXT_BEGIN);
        add(QKeyCombination(C | S, Qt::Key_Home), ID_EDIT_EXT_TEXT_BEGIN);
        add(QKeyCombination(C, Qt::Key_End), ID_EDIT_TEXT_END);
        add(QKeyCombination(C | S, Qt::Key_End), ID_EDIT_EXT_TEXT_END);
        add(QKeyCombination(C, Qt::Key_A), ID_EDIT_SELECT_ALL);
        add(QKeyCombination(C, Qt::Key_C), ID_EDIT_COPY);
        add(QKeyCombination(C, Qt::Key_Insert), ID_EDIT_COPY);
        add(QKeyCombination(C, Qt::Key_X), ID_EDIT_CUT);
        add(QKeyCombination(S, Qt::Key_Delete), ID_EDIT_CUT);
        add(QKeyCombination(C, Qt::Key_V), ID_EDIT_PASTE);
        add(QKeyCombination(S, Qt::Key_Insert), ID_EDIT_PASTE);
        add(QKeyCombination(N, Qt::Key_Delete), ID_EDIT_DELETE);
        add(QKeyCombination(N, Qt::Key_Backspace), ID_EDIT_DELETE_BACK);
        add(QKeyCombination(C, Qt::Key_Backspace), ID_EDIT_DELETE_WORD_BACK);
        add(QKeyCombination(N, Qt::Key_Tab), ID_EDIT_TAB);
        add(QKeyCombination(S, Qt::Key_Backtab), ID_EDIT_UNTAB);
        add(QKeyCombination(S, Qt::Key_Tab), ID_EDIT_UNTAB);
        add(QKeyCombination(N, Qt::Key_Insert), ID_EDIT_SWITCH_OVRMODE);
        add(QKeyCombination(C, Qt::Key_Z), ID_EDIT_UNDO);
        add(QKeyCombination(A, Qt::Key_Backspace), ID_EDIT_UNDO);
        add(QKeyCombination(C, Qt::Key_Y), ID_EDIT_REDO);
        add(QKeyCombination(C, Qt::Key_F), ID_EDIT_FIND);
        add(QKeyCombination(C, Qt::Key_H), ID_EDIT_REPLACE);
        add(QKeyCombination(N, Qt::Key_F3), ID_EDIT_REPEAT);
        add(QKeyCombination(S, Qt::Key_F3), ID_EDIT_FIND_PREVIOUS);
        for (int n = 0; n <= 9; ++n) {
            add(QKeyCombination(C, static_cast<Qt::Key>(Qt::Key_0 + n)), ID_EDIT_TOGGLE_BOOKMARK0 + n);
            add(QKeyCombination(A, static_cast<Qt::Key>(Qt::Key_0 + n)), ID_EDIT_GO_BOOKMARK0 + n);
        }
        add(QKeyCombination(C, Qt::Key_F2), ID_EDIT_TOGGLE_BOOKMARK);
        add(QKeyCombination(N, Qt::Key_F2), ID_EDIT_GOTO_NEXT_BOOKMARK);
        add(QKeyCombination(S, Qt::Key_F2), ID_EDIT_GOTO_PREV_BOOKMARK);
        add(QKeyCombination(C | S, Qt::Key_F2), ID_EDIT_CLEAR_ALL_BOOKMARKS);
        add(QKeyCombination(C, Qt::Key_BracketRight), ID_MATCH_BRACKET);
        return t;
    }();
    return table;
}

} // namespace

int CCrystalTextView::CommandForKey(QKeyCombination key)
{
    const Qt::KeyboardModifiers mods = key.keyboardModifiers() & ~Qt::KeypadModifier;
    const auto &table = ViewKeyTable();
    auto it = table.find(QKeyCombination(mods, key.key()).toCombined());
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
