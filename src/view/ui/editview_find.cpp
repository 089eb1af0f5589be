// Find and replace in the editing view: the find and replace dialogs, find
// next (F3) and find previous (Shift+F3), replace and replace all.
#include "view/ui/crystaleditview.h"

#include "platform/profile.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/msgbox.h"
#include "res/commands.h"
#include "search/history.h"
#include "search/ui/searchmessages.h"
#include "text/sjis.h"
#include "text/ui/codec_qt.h"
#include "view/replacetext.h"
#include "view/ui/finddlg.h"

#include <QApplication>
#include <QProgressDialog>

#include <memory>

namespace {

constexpr const char *SECTION_FIND = "Wrenpad\\Find";
constexpr const char *ENTRY_FIND_TEXT = "FindText";
constexpr const char *ENTRY_REPLACE_TEXT = "ReplaceText";
// An expression that takes more steps than this on one line is given up,
// so that a pattern that backtracks without end cannot hang the editor.
constexpr std::int64_t FIND_STEP_LIMIT = 20000000;

std::vector<std::string> LoadHistory(const char *pszEntry)
{
    return SplitHistory(AppProfile().GetString(SECTION_FIND, pszEntry, std::string()));
}

void SaveHistory(const char *pszEntry, const std::string &strText)
{
    std::vector<std::string> aHistory = LoadHistory(pszEntry);
    PushHistory(aHistory, strText, FIND_HISTORY_MAX);
    AppProfile().WriteString(SECTION_FIND, pszEntry, JoinHistory(aHistory, false));
}

// While a modal dialog has the focus the view keeps drawing its selection
// as active, so that the match found stays plain to see.
class CActiveSelection
{
public:
    explicit CActiveSelection(CCrystalTextView *pView) : m_pView(pView), m_bWas(pView->GetShowInactiveSelection())
    {
        m_pView->SetShowInactiveSelection(true);
    }
    ~CActiveSelection() { m_pView->SetShowInactiveSelection(m_bWas); }
    CActiveSelection(const CActiveSelection &) = delete;
    CActiveSelection &operator=(const CActiveSelection &) = delete;

private:
    CCrystalTextView *m_pView;
    bool m_bWas;
};

} // namespace

void CCrystalEditView::RegisterFindCommands()
{
    m_search.SetStepLimit(FIND_STEP_LIMIT);
    OnCommand(ID_EDIT_FIND, [this] { OnEditFind(); });
    OnCommand(ID_EDIT_REPEAT, [this] { OnEditFindNext(); });
    OnCommand(ID_EDIT_FIND_PREVIOUS, [this] { OnEditFindPrevious(); });
    OnCommand(ID_EDIT_REPLACE, [this] { OnEditReplace(); });
    // Find next works from the history before the first find in this view.
    auto canRepeat = [this](CCmdUI *pCmdUI) {
        pCmdUI->Enable(m_find.bSearchDone || !LoadHistory(ENTRY_FIND_TEXT).empty());
    };
    OnUpdate(ID_EDIT_REPEAT, canRepeat);
    OnUpdate(ID_EDIT_FIND_PREVIOUS, canRepeat);
    OnUpdate(ID_EDIT_REPLACE, [this](CCmdUI *pCmdUI) { pCmdUI->Enable(CanEdit()); });
}

void CCrystalEditView::SelectMatch(CPoint pt, int nLength, bool bUp)
{
    CPoint ptEnd = pt;
    for (int nLeft = nLength; nLeft > 0;) {
        const int nRest = GetLineLength(ptEnd.y) - ptEnd.x;
        if (nLeft <= nRest || ptEnd.y + 1 >= GetLineCount()) {
            ptEnd.x += std::min(nLeft, nRest);
            break;
        }
        nLeft -= nRest + 1;
        ptEnd = CPoint(0, ptEnd.y + 1);
    }
    const CPoint ptCaret = bUp ? pt : ptEnd;
    const CPoint ptOther = bUp ? ptEnd : pt;
    ScrollToPosition(ptOther);
    MoveCaret(ptCaret);
    SetSelectionAnchor(ptOther);
    SelectRange(ptOther, ptCaret);
    ScrollToPosition(ptCaret);
}

void CCrystalEditView::ShowNotFound(const std::string &strTextUtf8, bool bAborted)
{
    const QString strText = QString::fromStdString(strTextUtf8);
    MessageBox(this, bAborted ? QStringLiteral("\"%1\"の検索を中断しました。正規表現の照合に時間がかかりすぎます。").arg(strText)
                              : QStringLiteral("\"%1\"が見つかりません").arg(strText),
               QString(), MB_OK | MB_ICONINFORMATION);
}

void CCrystalEditView::ShowUnsearchable(const QString &strText)
{
    // With a table of extra characters the text is searchable; only nothing
    // in this document can match a character the table lacks.
    if (m_pTextBuffer->GetExtraChars())
        ShowNotFound(strText.toStdString(), false);
    else
        ShowUnsearchableText(this, strText);
}

void CCrystalEditView::ShowReplaceCount(int nCount, bool bBadReplacement, bool bAborted)
{
    // What was done comes first; why the run ended early, when it did, after it.
    QString strText = QStringLiteral("%1 個置換しました。").arg(nCount);
    if (bBadReplacement)
        strText += QStringLiteral("\n置換文字列が正しくないため、そこで止めました。");
    else if (bAborted)
        strText += QStringLiteral("\n正規表現の照合に時間がかかりすぎるため、そこで止めました。");
    const unsigned nIcon = bBadReplacement || bAborted ? MB_ICONEXCLAMATION : MB_ICONINFORMATION;
    MessageBox(this, strText, QString(), MB_OK | nIcon);
}

void CCrystalEditView::ProposeLastSearchText(CSearchDlgBase &dlg) const
{
    // A text that could not be searched for comes back as it was typed, so
    // that it is refused again rather than searched for with its "?"s.
    if (m_find.bUnsearchable)
        dlg.SetSearchTextUtf8(m_find.strSearchTextUtf8);
    else
        dlg.SetSearchText(m_find.strSearchText);
}

bool CCrystalEditView::FindAndSelect(const std::string &strText, const std::string &strTextUtf8,
                                     CPoint ptStart, std::uint32_t dwFlags)
{
    CPoint ptFound;
    bool bFound = m_search.SearchInText(*this, strText, ptStart, dwFlags, true, ptFound);
    // An empty match where the search started would be found again and
    // again: look one character further on.
    if (bFound && m_search.GetMatchLength() == 0 && ptFound == ptStart) {
        CPoint ptNext = ptStart;
        const std::string_view line = GetLineChars(ptNext.y);
        const int nLength = static_cast<int>(line.size());
        if (dwFlags & SEARCH_UP) {
            if (ptNext.x > 0)
                ptNext.x = SjisPrevChar(line.data(), nLength, ptNext.x);
            else if (ptNext.y > 0)
                ptNext = CPoint(GetLineLength(ptNext.y - 1), ptNext.y - 1);
        } else if (ptNext.x < nLength) {
            ptNext.x = SjisNextChar(line.data(), nLength, ptNext.x);
        } else if (ptNext.y + 1 < GetLineCount()) {
            ptNext = CPoint(0, ptNext.y + 1);
        }
        if (ptNext != ptStart)
            bFound = m_search.SearchInText(*this, strText, ptNext, dwFlags, true, ptFound);
    }
    if (!bFound) {
        ShowNotFound(strTextUtf8, m_search.WasAborted());
        return false;
    }
    SelectMatch(ptFound, m_search.GetMatchLength(), (dwFlags & SEARCH_UP) != 0);
    return true;
}

void CCrystalEditView::OnEditFind()
{
    CFindDlg dlg(this);
    dlg.SetExtraChars(m_pTextBuffer->GetExtraChars());
    const std::vector<std::string> aHistory = LoadHistory(ENTRY_FIND_TEXT);
    dlg.SetSearchHistory(aHistory);
    dlg.SetFlags(m_find.bSearchDone ? m_find.dwSearchFlags
                                    : static_cast<std::uint32_t>(
                                        AppProfile().GetInt(SECTION_FIND, "FindFlags", 0)));
    CPoint b;
    CPoint e;
    GetSelectionRange(b, e);
    if (b != e && b.y == e.y)
        dlg.SetSearchText(std::string(GetLineChars(b.y).substr(static_cast<std::size_t>(b.x),
                                                               static_cast<std::size_t>(e.x - b.x))));
    else if (m_find.bSearchDone)
        ProposeLastSearchText(dlg);
    else if (!aHistory.empty())
        dlg.SetSearchTextUtf8(aHistory.front());

    CPoint ptStart = m_ptCaret;
    const CActiveSelection active(this);
    dlg.SetFindHandler([&] {
        int nUnmappable = 0;
        const std::string strText = dlg.GetSearchText(&nUnmappable);
        if (nUnmappable > 0) {
            ShowUnsearchable(QString::fromStdString(dlg.GetSearchTextUtf8()));
            return false;
        }
        if (FindAndSelect(strText, dlg.GetSearchTextUtf8(), ptStart, dlg.GetFlags()))
            return true;
        ptStart = CPoint(0, 0);
        return false;
    });
    ExecDialog(&dlg);

    m_find.bSearchDone = true;
    int nUnmappable = 0;
    m_find.strSearchText = dlg.GetSearchText(&nUnmappable);
    m_find.bUnsearchable = nUnmappable > 0;
    m_find.strSearchTextUtf8 = dlg.GetSearchTextUtf8();
    m_find.dwSearchFlags = dlg.GetFlags();
    AppProfile().WriteInt(SECTION_FIND, "FindFlags", static_cast<int>(m_find.dwSearchFlags));
    SaveHistory(ENTRY_FIND_TEXT, m_find.strSearchTextUtf8);
}

void CCrystalEditView::OnEditFindNext()
{
    FindNextFromCaret(false);
}

void CCrystalEditView::OnEditFindPrevious()
{
    FindNextFromCaret(true);
}

void CCrystalEditView::FindNextFromCaret(bool bReverse)
{
    std::string strText = m_find.strSearchText;
    std::string strTextUtf8 = m_find.strSearchTextUtf8;
    std::uint32_t dwFlags = m_find.dwSearchFlags;
    bool bUnsearchable = m_find.bUnsearchable;
    if (!m_find.bSearchDone) {
        const std::vector<std::string> aHistory = LoadHistory(ENTRY_FIND_TEXT);
        if (aHistory.empty())
            return;
        strTextUtf8 = aHistory.front();
        bUnsearchable = !QStringToDocTextFound(QString::fromStdString(strTextUtf8), m_pTextBuffer->GetExtraChars(),
                                               strText);
        dwFlags = static_cast<std::uint32_t>(AppProfile().GetInt(SECTION_FIND, "FindFlags", 0));
    }
    if (strText.empty())
        return;
    if (bUnsearchable) {
        ShowUnsearchable(QString::fromStdString(strTextUtf8));
        return;
    }
    if (bReverse)
        dwFlags ^= SEARCH_UP;
    // Each way the search starts beyond the match that is selected.
    CPoint b;
    CPoint e;
    GetSelectionRange(b, e);
    const CPoint ptStart = b == e ? m_ptCaret : (dwFlags & SEARCH_UP) ? b : e;
    FindAndSelect(strText, strTextUtf8, ptStart, dwFlags);
}

// The replace dialog's buttons: each takes the dialog's texts, options and
// scope as they are when it is pressed and runs the session on them.
class CCrystalEditView::CReplaceController
{
public:
    CReplaceController(CCrystalEditView &view, CReplaceDlg &dlg, CReplaceSession &session, CPoint ptStart)
        : m_view(view), m_dlg(dlg), m_session(session), m_ptStart(ptStart)
    {
        dlg.SetHandler(CReplaceDlg::BUTTON_FIND_NEXT, [this] { OnFindNext(); });
        dlg.SetHandler(CReplaceDlg::BUTTON_REPLACE, [this] { OnReplace(); });
        dlg.SetHandler(CReplaceDlg::BUTTON_REPLACE_ALL, [this] { OnReplaceAll(); });
    }

private:
    // False, after saying why, when the dialog's texts cannot be used.
    bool Sync(bool bReplacing);
    void ShowFailure(bool bStopped);
    void ShowResult(bool bFound);
    void OnFindNext();
    void OnReplace();
    void OnReplaceAll();

    CCrystalEditView &m_view;
    CReplaceDlg &m_dlg;
    CReplaceSession &m_session;
    const CPoint m_ptStart;
};

bool CCrystalEditView::CReplaceController::Sync(bool bReplacing)
{
    int nUnsearchable = 0;
    int nUnreplaceable = 0;
    const std::string strWhat = m_dlg.GetSearchText(&nUnsearchable);
    const std::string strWith = m_dlg.GetReplaceText(&nUnreplaceable);
    if (nUnsearchable > 0) {
        m_view.ShowUnsearchable(QString::fromStdString(m_dlg.GetSearchTextUtf8()));
        return false;
    }
    if (bReplacing && nUnreplaceable > 0) {
        ShowUnreplaceableText(&m_view);
        return false;
    }
    m_session.SetTexts(strWhat, strWith, m_dlg.GetFlags());
    if (m_dlg.IsSelectionScope() != m_session.IsSelectionScope()) {
        m_session.SetScope(m_dlg.IsSelectionScope(), m_session.GetBlockBegin(), m_session.GetBlockEnd());
        m_session.SetStart(m_dlg.IsSelectionScope() ? m_session.GetBlockBegin() : m_ptStart);
    }
    return true;
}

void CCrystalEditView::CReplaceController::ShowFailure(bool bStopped)
{
    if (m_session.HadBadReplacement())
        MessageBox(&m_view, QStringLiteral("置換文字列が正しくありません。"), QString(), MB_OK | MB_ICONEXCLAMATION);
    else
        m_view.ShowNotFound(m_dlg.GetSearchTextUtf8(), bStopped);
    m_dlg.SetDefaultButton(CReplaceDlg::BUTTON_FIND_NEXT);
}

void CCrystalEditView::CReplaceController::ShowResult(bool bFound)
{
    if (!bFound) {
        ShowFailure(m_session.WasStopped());
        return;
    }
    m_view.SelectMatch(m_session.GetMatchStart(), m_session.GetMatchLength(), false);
    m_dlg.SetDefaultButton(CReplaceDlg::BUTTON_REPLACE);
}

void CCrystalEditView::CReplaceController::OnFindNext()
{
    if (Sync(false))
        ShowResult(m_session.FindNext());
}

void CCrystalEditView::CReplaceController::OnReplace()
{
    if (!Sync(true))
        return;
    ShowResult(m_session.Replace());
    m_view.m_find.nReplaceLength = m_session.GetReplaceLength();
}

void CCrystalEditView::CReplaceController::OnReplaceAll()
{
    if (!Sync(true))
        return;
    std::unique_ptr<QProgressDialog> pProgress;
    bool bCancelled = false;
    int nCount = 0;
    {
        const CWaitCursor wait;
        nCount = m_session.ReplaceAll([&](int nLine) {
            // Long runs show how far they are and can be stopped.
            const int nLines = m_view.GetLineCount();
            if (!pProgress) {
                pProgress = std::make_unique<QProgressDialog>(QStringLiteral("置換しています..."),
                                                              QStringLiteral("キャンセル"), 0, nLines, &m_view);
                pProgress->setObjectName(QStringLiteral("replaceProgress"));
                pProgress->setWindowModality(Qt::ApplicationModal);
                pProgress->setMinimumDuration(0);
            }
            pProgress->setMaximum(nLines);
            pProgress->setValue(std::min(nLine, nLines));
            QApplication::processEvents();
            bCancelled = pProgress->wasCanceled();
            return !bCancelled;
        });
    }
    pProgress.reset();
    m_view.m_find.nReplaceLength = m_session.GetReplaceLength();
    if (nCount == 0) {
        if (!bCancelled)
            ShowFailure(m_session.WasStopped());
        return;
    }
    m_view.PlaceCaret(m_session.GetLastReplaceEnd());
    m_view.ShowReplaceCount(nCount, m_session.HadBadReplacement(), m_session.WasStopped() && !bCancelled);
    m_dlg.SetDefaultButton(CReplaceDlg::BUTTON_FIND_NEXT);
}

void CCrystalEditView::OnEditReplace()
{
    if (!CanEdit())
        return;
    CReplaceDlg dlg(this);
    dlg.SetExtraChars(m_pTextBuffer->GetExtraChars());
    dlg.SetSearchHistory(LoadHistory(ENTRY_FIND_TEXT));
    dlg.SetReplaceHistory(LoadHistory(ENTRY_REPLACE_TEXT));
    const std::uint32_t dwFlags =
        m_find.bReplaceDone
            ? m_find.dwReplaceFlags
            : static_cast<std::uint32_t>(AppProfile().GetInt(SECTION_FIND, "ReplaceFlags", 0));
    dlg.SetFlags(dwFlags & ~std::uint32_t(SEARCH_UP));
    if (!m_find.strSearchText.empty())
        ProposeLastSearchText(dlg);

    CPoint b;
    CPoint e;
    GetSelectionRange(b, e);
    const bool bHadSelection = b != e;
    if (bHadSelection && b.y == e.y) {
        dlg.SetSearchText(std::string(GetLineChars(b.y).substr(static_cast<std::size_t>(b.x),
                                                               static_cast<std::size_t>(e.x - b.x))));
    }
    dlg.SetScope(bHadSelection && b.y != e.y, bHadSelection);
    const CPoint ptStart = bHadSelection ? b : m_ptCaret;

    CReplaceSession session(*m_pTextBuffer, this, m_search);
    session.SetScope(dlg.IsSelectionScope(), b, e);
    session.SetStart(ptStart);
    const CReplaceController controller(*this, dlg, session, ptStart);
    const CActiveSelection active(this);
    ExecDialog(&dlg);

    m_find.bReplaceDone = true;
    int nUnmappable = 0;
    m_find.strSearchText = dlg.GetSearchText(&nUnmappable);
    m_find.bUnsearchable = nUnmappable > 0;
    m_find.strSearchTextUtf8 = dlg.GetSearchTextUtf8();
    m_find.dwReplaceFlags = dlg.GetFlags() & ~std::uint32_t(SEARCH_UP);
    AppProfile().WriteInt(SECTION_FIND, "ReplaceFlags", static_cast<int>(m_find.dwReplaceFlags));
    SaveHistory(ENTRY_FIND_TEXT, dlg.GetSearchTextUtf8());
    SaveHistory(ENTRY_REPLACE_TEXT, dlg.GetReplaceTextUtf8());
    if (bHadSelection) {
        const CPoint ptBegin = session.GetBlockBegin();
        const CPoint ptEnd = session.GetBlockEnd();
        MoveCaret(ptEnd);
        SetSelectionAnchor(ptBegin);
        SelectRange(ptBegin, ptEnd);
        ScrollToPosition(ptEnd);
    }
}
