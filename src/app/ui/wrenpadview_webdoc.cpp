// The view's commands on the document's structure (the basic HTML frame, the
// title, the body tag) and on the attributes of the tag at the caret. The
// edits themselves are html/docstruct's and html/tagparse's.
#include "app/appsettings.h"
#include "app/ui/wrenpadview.h"
#include "html/docstruct.h"
#include "html/tagcase.h"
#include "html/tagparse.h"
#include "html/ui/attrdialogs.h"
#include "html/ui/webdialogs.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/msgbox.h"
#include "res/commands.h"
#include "text/ui/codec_qt.h"

#include <algorithm>
#include <memory>

namespace {


bool IsUpperCaseTags()
{
    return AppSettings().m_bTagState == 1;
}

} // namespace

std::vector<std::string> CWrenpadView::GetAllLines() const
{
    std::vector<std::string> aLines;
    const int nLines = m_pTextBuffer->GetLineCount();
    aLines.reserve(static_cast<std::size_t>(nLines));
    for (int i = 0; i < nLines; ++i)
        aLines.emplace_back(m_pTextBuffer->GetLine(i));
    if (aLines.empty())
        aLines.emplace_back();
    return aLines;
}

void CWrenpadView::ReplaceAllLines(const std::vector<std::string> &aLines)
{
    const CPoint ptCaret = GetCursorPos();
    const int nLast = m_pTextBuffer->GetLineCount() - 1;
    ReplaceLines(CPoint(0, 0), CPoint(GetLineLength(nLast), nLast), aLines, ACTION_REPLACE);
    const int nLine = std::clamp(ptCaret.y, 0, m_pTextBuffer->GetLineCount() - 1);
    PlaceCaret(CPoint(std::min(ptCaret.x, GetLineLength(nLine)), nLine));
}

void CWrenpadView::OnBasicHtml()
{
    std::vector<std::string> aLines = GetAllLines();
    // The title starts as the file's path, or the title the page has.
    QString strTitle = QString::fromStdString(GetDocumentPath());
    if (FindDocStructure(aLines).title.bFound)
        strTitle = Cp932ToQString(DocTitle(aLines));
    CBodyDlg dlg(true, strTitle, GetDocumentPath(), this);
    dlg.PresetFromTag(DocBodyTag(aLines));
    if (ExecDialog(&dlg) != QDialog::Accepted)
        return;
    CWaitCursor wait;
    ApplyBasicHtml(aLines, dlg.GetTitle(), dlg.GetAttributes(), IsUpperCaseTags());
    ReplaceAllLines(aLines);
}

void CWrenpadView::OnTitleOrBody(int nID)
{
    std::vector<std::string> aLines = GetAllLines();
    if (!FindDocStructure(aLines).html.bFound) {
        MessageBox(this, QStringLiteral("<HTML>が見当たりません。"), QStringLiteral("Not found."),
                   MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (nID == ID_WEB_TITLE) {
        CTitleDlg dlg(Cp932ToQString(DocTitle(aLines)), this);
        if (ExecDialog(&dlg) != QDialog::Accepted)
            return;
        ApplyTitle(aLines, dlg.GetTitle(), IsUpperCaseTags());
    } else {
        CBodyDlg dlg(false, QString(), GetDocumentPath(), this);
        dlg.PresetFromTag(DocBodyTag(aLines));
        if (ExecDialog(&dlg) != QDialog::Accepted)
            return;
        ApplyBodyTag(aLines, dlg.GetAttributes(), IsUpperCaseTags());
    }
    ReplaceAllLines(aLines);
}

void CWrenpadView::OnTagAttributes()
{
    // The tag is looked for on the caret's line.
    const CPoint ptCaret = GetCursorPos();
    const std::string strLine(GetLineChars(ptCaret.y));
    std::size_t nStart = 0;
    std::size_t nEnd = 0;
    const bool bFound = FindTagAround(strLine, static_cast<std::size_t>(ptCaret.x), nStart, nEnd);
    const std::string strTag = bFound ? strLine.substr(nStart, nEnd - nStart) : std::string();
    std::string strName = bFound ? TagName(strTag) : std::string();
    if (strName == "th")
        strName = "td";
    const bool bKnown = std::find_if(std::begin(ATTRIBUTE_DIALOG_TAGS), std::end(ATTRIBUTE_DIALOG_TAGS),
                                     [&strName](const char *psz) { return strName == psz; })
                        != std::end(ATTRIBUTE_DIALOG_TAGS);
    if (!bKnown) {
        CTagKindDlg chooser(this);
        if (ExecDialog(&chooser) != QDialog::Accepted)
            return;
        strName = chooser.GetTagName();
    }
    // A tag of another kind is not the one the new tag replaces.
    const bool bReplace = bFound && bKnown;
    const CTagAttributeMap attributes = bReplace ? ParseTagAttributes(strTag) : CTagAttributeMap();

    std::string strAttributes;
    bool bAccepted = false;
    if (strName == "body") {
        CBodyDlg dlg(false, QString(), GetDocumentPath(), this);
        dlg.PresetFromTag(bReplace ? strTag : std::string());
        bAccepted = ExecDialog(&dlg) == QDialog::Accepted;
        strAttributes = dlg.GetAttributes();
    } else if (strName == "font") {
        CFontTagDlg dlg(QString(), QString(), this);
        dlg.PresetFromTag(attributes);
        bAccepted = ExecDialog(&dlg) == QDialog::Accepted;
        strAttributes = WithOtherAttributes(FontTagAttributes(dlg.GetFields()), dlg.GetOther());
    } else if (strName == "table") {
        CTableOptionDlg dlg(this);
        dlg.PresetFromTag(attributes);
        bAccepted = ExecDialog(&dlg) == QDialog::Accepted;
        strAttributes = dlg.GetAttributes();
    } else if (strName == "td") {
        CCellDlg dlg(this);
        dlg.PresetFromTag(attributes);
        bAccepted = ExecDialog(&dlg) == QDialog::Accepted;
        strAttributes = WithOtherAttributes(CellAttributes(dlg.GetFields()), dlg.GetOther());
    } else if (strName == "img") {
        CImageOptionDlg dlg(this);
        dlg.PresetFromTag(attributes);
        bAccepted = ExecDialog(&dlg) == QDialog::Accepted;
        strAttributes = dlg.GetAttributes();
    } else {
        CAnchorOptionDlg dlg(GetDocumentPath(), this);
        dlg.PresetFromTag(attributes);
        bAccepted = ExecDialog(&dlg) == QDialog::Accepted;
        strAttributes = dlg.GetAttributes();
    }
    if (!bAccepted)
        return;
    // A th keeps its own name.
    const std::string strNewTag = "<" + (bReplace ? TagName(strTag) : strName) + strAttributes + ">";
    if (!bReplace) {
        InsertTagPair(std::string(), strNewTag, false, true);
        return;
    }
    const CPoint ptStart(static_cast<int>(nStart), ptCaret.y);
    const CPoint ptEnd(static_cast<int>(nEnd), ptCaret.y);
    ReplaceLines(ptStart, ptEnd, {TagCaseA(strNewTag, IsUpperCaseTags())}, ACTION_REPLACE);
}
