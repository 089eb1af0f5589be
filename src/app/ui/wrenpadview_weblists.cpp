// The view's list, table and form commands: the markup comes from
// html/listbuild and the table editor; here the dialogs are asked and the
// selection is replaced or the markup put behind it.
#include "app/appsettings.h"
#include "app/ui/wrenpadview.h"
#include "html/listbuild.h"
#include "html/ui/formdialogs.h"
#include "html/ui/tableeditdlg.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/msgbox.h"
#include "res/commands.h"
#include "text/codec.h"

namespace {

bool IsUpperCaseTags()
{
    return AppSettings().m_bTagState == 1;
}

} // namespace

bool CWrenpadView::OnWebStructureCommand(int nID)
{
    switch (nID) {
    case ID_WEB_INDENT_LIST:
    case ID_WEB_NUMBERED_LIST:
    case ID_WEB_BULLET_LIST:
        OnListCommand(nID);
        return true;
    case ID_WEB_TABLE:
        OnTableCommand();
        return true;
    case ID_WEB_FORM:
    case ID_WEB_FORM_INPUT:
    case ID_WEB_FORM_TEXTAREA:
    case ID_WEB_FORM_LISTBOX:
        OnFormCommand(nID);
        return true;
    case ID_WEB_BASIC_HTML:
        OnBasicHtml();
        return true;
    case ID_WEB_TITLE:
    case ID_WEB_BODY:
        OnTitleOrBody(nID);
        return true;
    case ID_WEB_TAG_ATTRIBUTES:
        OnTagAttributes();
        return true;
    default:
        return false;
    }
}

void CWrenpadView::OnListCommand(int nID)
{
    CListStyle style;
    if (nID == ID_WEB_BULLET_LIST) {
        CBulletListDlg dlg(this);
        if (ExecDialog(&dlg) != QDialog::Accepted)
            return;
        style = {LISTKIND_BULLET, dlg.GetType(), 1};
    } else if (nID == ID_WEB_NUMBERED_LIST) {
        CNumberedListDlg dlg(this);
        if (ExecDialog(&dlg) != QDialog::Accepted)
            return;
        style = {LISTKIND_NUMBERED, dlg.GetType(), dlg.GetStart()};
    }
    const bool bUpper = IsUpperCaseTags();
    if (!IsSelection()) {
        const CTagTexts texts = ListTagTexts(style, bUpper);
        InsertTagPairAsIs(texts.strOpen, texts.strClose, true, true);
        return;
    }
    CWaitCursor wait;
    ReplaceSelectedText(BuildList(GetSelectedText(), style, bUpper), ACTION_REPLACE);
}

void CWrenpadView::OnTableCommand()
{
    if (!IsSelection()) {
        CTableSizeDlg sizeDlg(this);
        if (ExecDialog(&sizeDlg) != QDialog::Accepted)
            return;
        CTableEditSetup setup;
        setup.nRows = sizeDlg.GetRows();
        setup.nCols = sizeDlg.GetColumns();
        setup.strWidth = sizeDlg.GetWidth();
        setup.strBorder = sizeDlg.GetBorder();
        CTableEditDlg editDlg(setup, this);
        if (ExecDialog(&editDlg) != QDialog::Accepted || editDlg.GetResult().empty())
            return;
        ReplaceSelectedText(editDlg.GetResult(), ACTION_INSERT);
        return;
    }
    CTableInsertDlg dlg(this);
    const int nChoice = ExecDialog(&dlg);
    const bool bUpper = IsUpperCaseTags();
    switch (nChoice) {
    case CTableInsertDlg::TABLEINSERT_TAGS:
        InsertTagPair("<table border>\r\n", "</table>\r\n", true, true);
        break;
    case CTableInsertDlg::TABLEINSERT_AUTO: {
        CWaitCursor wait;
        ReplaceSelectedText(AutoTable(GetSelectedText(), dlg.GetSeparator(), bUpper), ACTION_REPLACE);
        break;
    }
    case CTableInsertDlg::TABLEINSERT_GRID: {
        CTableEditSetup setup;
        setup.strSource = GetSelectedText();
        setup.nSeparator = dlg.GetSeparator();
        CTableEditDlg editDlg(setup, this);
        if (ExecDialog(&editDlg) == QDialog::Accepted && !editDlg.GetResult().empty())
            ReplaceSelectedText(editDlg.GetResult(), ACTION_REPLACE);
        break;
    }
    default:
        break;
    }
}

void CWrenpadView::OnFormCommand(int nID)
{
    const bool bUpper = IsUpperCaseTags();
    auto insert = [this](const std::string &strText) { InsertTagPairAsIs(std::string(), strText, false, true); };
    switch (nID) {
    case ID_WEB_FORM: {
        CFormTagDlg dlg(this);
        if (ExecDialog(&dlg) != QDialog::Accepted)
            return;
        const CTagTexts texts = FormTagTexts(dlg.GetUrl(), bUpper);
        InsertTagPairAsIs(texts.strOpen, texts.strClose, true, true);
        return;
    }
    case ID_WEB_FORM_INPUT: {
        CFormInputDlg dlg(this);
        if (ExecDialog(&dlg) == QDialog::Accepted)
            insert(FormInputText(dlg.GetFields(), bUpper));
        return;
    }
    case ID_WEB_FORM_TEXTAREA: {
        CTextAreaDlg dlg(this);
        if (ExecDialog(&dlg) == QDialog::Accepted)
            insert(TextAreaText(dlg.GetFields(), bUpper));
        return;
    }
    default: {
        CListBoxDlg dlg(this);
        if (ExecDialog(&dlg) == QDialog::Accepted)
            insert(ListBoxText(dlg.GetFields(), bUpper));
        return;
    }
    }
}
