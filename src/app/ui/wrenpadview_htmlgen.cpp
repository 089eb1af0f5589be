// The HTML generators of the web menu's tool pop-up and the edit menu's copy
// as HTML. The markup is made in html/htmlgen; here the selection is read,
// the dialog asked and the result put in place of the selection (or on the
// clipboard).
#include "app/appsettings.h"
#include "app/ui/wrenpadview.h"
#include "html/htmlgen.h"
#include "html/ui/htmlgendlgs.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/msgbox.h"
#include "res/commands.h"
#include "syntax/linesource.h"
#include "text/nkf.h"
#include "text/ui/codec_qt.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

namespace {

// What the generators' dialogs offer again next time.
struct CHtmlGenChoices
{
    bool bUseRows = false;
    int nRows = 20;
    CGradColor crFrom{0x00, 0x00, 0xff};
    CGradColor crTo{0xff, 0x00, 0x00};
    bool bRainbow = false;
    int nSeparator = TABLESEP_COMMA;
    bool bEraseTags = false;
};

CHtmlGenChoices &Choices()
{
    static CHtmlGenChoices s_choices;
    return s_choices;
}

} // namespace

void CWrenpadView::RegisterHtmlGenCommands()
{
    OnCommand(ID_VERTICAL_SIMPLE, [this] { OnVerticalText(false); });
    OnCommand(ID_VERTICAL_TABLE, [this] { OnVerticalText(true); });
    OnCommand(ID_TEXT_GRADATION, [this] { OnTextGradation(); });
    OnCommand(ID_TABLE_TO_CSV, [this] { OnTableToCsv(); });
    OnCommand(ID_COPY_AS_HTML, [this] { OnCopyAsHtml(); });
    for (const int nID : {ID_VERTICAL_SIMPLE, ID_VERTICAL_TABLE})
        OnUpdate(nID, [this](CCmdUI *pCmdUI) { pCmdUI->Enable(IsSelection() && NkfLibrary().IsLoaded()); });
    for (const int nID : {ID_TABLE_TO_CSV, ID_COPY_AS_HTML})
        OnUpdate(nID, [this](CCmdUI *pCmdUI) { pCmdUI->Enable(IsSelection()); });
}

void CWrenpadView::OnVerticalText(bool bTable)
{
    if (!CanEdit() || !IsSelection() || !NkfLibrary().IsLoaded())
        return;
    int nRows = 0;
    if (bTable) {
        CVerticalRowsDlg dlg(Choices().bUseRows, Choices().nRows, this);
        if (ExecDialog(&dlg) != QDialog::Accepted)
            return;
        Choices().bUseRows = dlg.GetUseRows();
        if (dlg.GetUseRows())
            Choices().nRows = nRows = dlg.GetRows();
    }
    CWaitCursor wait;
    const std::string strResult =
        bTable ? BuildVerticalTable(GetSelectedText(), nRows) : BuildVerticalSimple(GetSelectedText());
    if (!strResult.empty())
        ReplaceSelectedText(strResult, ACTION_REPLACE);
}

void CWrenpadView::OnTextGradation()
{
    if (!CanEdit())
        return;
    const bool bSelection = IsSelection();
    CHtmlGenChoices &choices = Choices();
    CGradationDlg dlg(!bSelection, choices.crFrom, choices.crTo, choices.bRainbow, this);
    if (ExecDialog(&dlg) != QDialog::Accepted)
        return;
    choices.crFrom = dlg.GetFrom();
    choices.crTo = dlg.GetTo();
    choices.bRainbow = dlg.GetRainbow();
    int nUnmappable = 0;
    const std::string strText =
        bSelection ? GetSelectedText() : QStringToCp932(dlg.GetText(), &nUnmappable);
    if (nUnmappable > 0)
        emit UnmappableCharacters(nUnmappable);
    if (strText.empty())
        return;
    CWaitCursor wait;
    ReplaceSelectedText(BuildGradation(strText, choices.crFrom, choices.crTo, choices.bRainbow,
                                       AppSettings().m_bTagState == 1),
                        ACTION_REPLACE);
}

void CWrenpadView::OnTableToCsv()
{
    if (!CanEdit() || !IsSelection())
        return;
    CHtmlGenChoices &choices = Choices();
    CTableCsvDlg dlg(choices.nSeparator, choices.bEraseTags, this);
    if (ExecDialog(&dlg) != QDialog::Accepted)
        return;
    choices.nSeparator = dlg.GetSeparator();
    choices.bEraseTags = dlg.GetEraseTags();
    ConvertSelection([&choices](std::string_view text) {
        return TableToSeparatedValues(text, choices.nSeparator, choices.bEraseTags);
    });
}

void CWrenpadView::OnCopyAsHtml()
{
    if (!IsSelection() || GetTextBuffer() == nullptr)
        return;
    CWaitCursor wait;
    CPoint b;
    CPoint e;
    GetSelectionRange(b, e);
    const CBufferLineSource lines(*GetTextBuffer());
    const auto blocksOf = [this](int nLine, std::vector<ColorBlock> &aBlocks, int &nBlocks) {
        LineStates().ParseLineForDrawing(*this, nLine, aBlocks, nBlocks);
    };
    const auto colorOf = [this](int nIndex) { return GetColor(nIndex); };
    const std::string strHtml = BuildCopyAsHtml(lines, b.y, e.y, blocksOf, colorOf, GetColor(COLORINDEX_BKGND),
                                                GetColor(COLORINDEX_NORMALTEXT));
    // As markup for programs that take it, and as the plain text of that
    // markup for the rest (and for pasting into a page being written).
    const CExtraChars *pExtra = GetTextBuffer()->GetExtraChars();
    QMimeData *pData = MimeFromBytes(strHtml, pExtra);
    pData->setHtml(DocTextToQString(strHtml, pExtra));
    QApplication::clipboard()->setMimeData(pData);
}
