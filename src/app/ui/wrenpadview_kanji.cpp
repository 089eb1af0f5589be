// The view's kanji-code commands: exporting the text as EUC or JIS, and
// replacing the whole buffer with an imported text.
#include "app/ui/wrenpadview.h"

#include "app/ui/wrenpaddoc.h"
#include "platform/ui/filedialogs.h"
#include "platform/ui/msgbox.h"
#include "res/commands.h"
#include "text/fileio.h"
#include "text/kanji.h"
#include "text/kanjiio.h"
#include "text/nkf.h"

void CWrenpadView::RegisterKanjiCommands()
{
    OnCommand(ID_EXPORT_EUC, [this] { OnExportKanji(OUTCODE_EUC); });
    OnCommand(ID_EXPORT_JIS, [this] { OnExportKanji(OUTCODE_JIS); });
    const auto enableWithNkf = [](CCmdUI *pCmdUI) { pCmdUI->Enable(NkfLibrary().IsLoaded()); };
    OnUpdate(ID_EXPORT_EUC, enableWithNkf);
    OnUpdate(ID_EXPORT_JIS, enableWithNkf);
}

bool CWrenpadView::ReplaceAllText(std::string_view text)
{
    if (!m_pTextBuffer || m_pTextBuffer->IsReadOnly())
        return false;
    // The text keeps its own line ends, as a file read from disk does: an
    // imported file with LF line ends must not turn into one long line.
    const int nMode = DetectLineEndMode(text);
    m_pTextBuffer->FreeAll();
    m_pTextBuffer->InitNew(nMode);
    {
        CBufferBatch batch(*m_pTextBuffer, this);
        int nEndLine = 0;
        int nEndChar = 0;
        m_pTextBuffer->InsertLines(this, 0, 0, SplitLinesForMode(text, nMode), nEndLine, nEndChar, ACTION_CONVERT);
    }
    // Not modified first, so that the imported text counts as the saved state.
    m_pTextBuffer->SetModified(false);
    m_pTextBuffer->ClearUndo();
    PlaceCaret(CPoint(0, 0));
    return true;
}

void CWrenpadView::OnExportKanji(int nOutCode)
{
    if (!m_pTextBuffer || !NkfLibrary().IsLoaded())
        return;
    CFileDialogRequest request;
    if (m_pDocument)
        request = m_pDocument->SaveAsRequest();
    request.bSave = true;
    request.strTitle = nOutCode == OUTCODE_EUC ? QStringLiteral("EUCｺｰﾄﾞｴｸｽﾎﾟｰﾄ") : QStringLiteral("JISｺｰﾄﾞｴｸｽﾎﾟｰﾄ");
    const QStringList files = RunFileDialog(this, request);
    if (files.isEmpty())
        return;

    // The document's own line ends, as saving writes them.
    const int nLast = m_pTextBuffer->GetLineCount() - 1;
    std::string strText;
    m_pTextBuffer->GetText(0, 0, nLast, m_pTextBuffer->GetLineLength(nLast), strText,
                           std::string(LineEndSeparator(m_pTextBuffer->GetLineEndMode())).c_str());
    if (strText.empty()) {
        MessageBox(this, QStringLiteral("Error: The file could not be saved. (textlength=NULL)"),
                   QStringLiteral("error"), MB_OK | MB_ICONSTOP);
        return;
    }
    std::string strConverted;
    CNkfLibrary &nkf = NkfLibrary();
    nkf.SetNkfOption(nOutCode == OUTCODE_EUC ? "e" : "j");
    if (!nkf.NkfConvert(strText, strConverted))
        return;
    CAtomicFile file;
    if (!file.Open(files.first().toStdString()) || !file.Write(strConverted) || !file.Commit())
        MessageBox(this, QStringLiteral("Error: The file could not be saved."), QStringLiteral("error"),
                   MB_OK | MB_ICONSTOP);
}
