#include "app/ui/wrenpaddoc.h"

#include "app/docfile.h"
#include "app/docnames.h"
#include "app/ui/docdialogs.h"
#include "app/ui/wrenpadapp.h"
#include "app/ui/wrenpadview.h"
#include "html/charsetdecl.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/filedialogs.h"
#include "platform/ui/msgbox.h"
#include "recovery/docjournal.h"
#include "res/commands.h"
#include "syntax/viewtype.h"
#include "text/doctext.h"
#include "text/fileio.h"
#include "text/kanjiio.h"
#include "text/ui/codec_qt.h"
#include "view/ui/fontutil.h"

#include <QApplication>
#include <QFileInfo>

#include <algorithm>

namespace {

QWidget *MessageParent()
{
    return QApplication::activeWindow();
}

std::string FolderOf(const std::string &strPath)
{
    const std::size_t nSlash = strPath.rfind('/');
    return nSlash == std::string::npos ? std::string() : strPath.substr(0, nSlash + 1);
}

} // namespace

void CWrenpadTextBuffer::SetModified(bool bModified)
{
    CCrystalTextBuffer::SetModified(bModified);
    if (m_pOwnerDoc)
        m_pOwnerDoc->SetModifiedFlag(bModified);
}

CWrenpadDoc::CWrenpadDoc(QObject *pParent, std::shared_ptr<CRecoveryManager> pRecovery)
    : QObject(pParent), m_buffer(this), m_lfFont(LoadFontSetting(AppProfile()))
{
    if (pRecovery) {
        m_pJournal = std::make_unique<CDocJournal>(std::move(pRecovery), m_buffer);
        m_pJournal->SetDocCodeSource([this] { return CodeStateToLine(m_code); });
        m_pJournal->SetTitleSource([this] { return m_strTitle; });
    }
    OnCommand(ID_FILE_SAVE, [this] { DoFileSave(); });
    OnCommand(ID_FILE_SAVE_AS, [this] { DoSave(std::string()); });
    OnCommand(ID_FILE_CLOSE, [this] {
        if (SaveModified())
            CloseWindows();
    });
    OnCommand(ID_READ_ONLY, [this] { OnToggleReadOnly(); });
    OnUpdate(ID_READ_ONLY, [this](CCmdUI *pCmdUI) { pCmdUI->SetCheck(m_buffer.IsReadOnly() ? 1 : 0); });
    OnCommand(ID_CHOOSE_FONT, [this] { OnChooseFont(); });
    OnCommand(ID_FILE_REVERT, [this] { OnRevert(); });
    RegisterCodeCommands();
    OnUpdate(ID_FILE_REVERT, [this](CCmdUI *pCmdUI) { pCmdUI->Enable(!m_strPathName.empty()); });
    connect(&m_watch, &CFileWatcher::Changed, this, &CWrenpadDoc::OnFileChangedOnDisk);
}

CWrenpadDoc::~CWrenpadDoc()
{
    // Closed without saving: the record goes with the text (unless the
    // manager keeps records because the session ends).
    m_pJournal.reset();
    // Views still attached (a window torn down without closing) let go first.
    for (CWrenpadView *pView : std::vector<CWrenpadView *>(m_aViews)) {
        pView->DetachBuffer();
        pView->SetDocument(nullptr);
    }
}

// ---------------------------------------------------------------------------
// The framework's operations

bool CWrenpadDoc::OnNewDocument()
{
    DeleteContents();
    m_buffer.InitNew(LINEEND_CRLF);
    m_code = CFileCodeState();
    m_code.eCode = NewDocumentCode();
    UseCodeState();
    m_eForcedCode.reset();
    SetModifiedFlag(false);
    return true;
}

QString CWrenpadDoc::OpenFailureText(const std::string &strPath)
{
    const QString strFile = PathText(strPath);
    switch (CheckFileForOpening(strPath)) {
    case OPEN_OK:
        return QString();
    case OPEN_MISSING:
        return QStringLiteral("%1\nファイルが見つかりません。").arg(strFile);
    case OPEN_FOLDER:
        return QStringLiteral("%1\nフォルダーは開けません。").arg(strFile);
    case OPEN_NOT_REGULAR:
        return QStringLiteral("%1\n通常のファイルではないため開けません。").arg(strFile);
    case OPEN_NO_PERMISSION:
        return QStringLiteral("%1\nファイルを読む権限がありません。").arg(strFile);
    case OPEN_TOO_LARGE:
        return QStringLiteral("%1\nファイルが大きすぎるため開けません。(%2 MB まで)")
            .arg(strFile)
            .arg(MAX_DOCUMENT_BYTES >> 20);
    }
    return QString();
}

bool CWrenpadDoc::OnOpenDocument(const std::string &strPath)
{
    const QString strWhy = OpenFailureText(strPath);
    if (!strWhy.isEmpty()) {
        MessageBox(MessageParent(), strWhy, QString(), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    DeleteContents();
    // Taken before reading, so that a change made while the file is read shows.
    const CFileStamp stamp = FileStampOf(strPath);
    const CFileIdentity identity = StatFileIdentity(strPath);
    m_eForcedCode.reset();
    if (!LoadDocumentFile(strPath)) {
        m_buffer.InitNew(LINEEND_CRLF);
        MessageBox(MessageParent(), QStringLiteral("%1\nファイルの読み込みに失敗しました。").arg(PathText(strPath)),
                   QString(), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    m_watch.SetPath(strPath);
    m_watch.SetKnown(stamp);
    m_bFileDeleted = false;
    SetModifiedFlag(false);
    JournalFileLoaded(strPath, identity);
    return true;
}

bool CWrenpadDoc::OnSaveDocument(const std::string &strPath)
{
    const bool bOwnFile = !m_strPathName.empty() && strPath == m_strPathName;
    if (bOwnFile && !ConfirmOverwriteChangedFile(strPath))
        return false;
    bool bReported = false;
    if (SaveDocumentFile(strPath, &bReported)) {
        if (bOwnFile) {
            m_watch.SetKnown(FileStampOf(strPath));
            if (m_bFileDeleted) {
                m_bFileDeleted = false;
                emit StateChanged();
            }
        }
        // The text is the file's now; the record went with the modified mark.
        if (m_pJournal) {
            if (m_code.eCode == ETextCode::Sjis)
                m_pJournal->SetBaselineSaved(StatFileIdentity(ResolveSymlinks(strPath)));
            else
                m_pJournal->SetBaselineSnapshot();
        }
        SetTitleMark(std::string());
        return true;
    }
    if (!bReported)
        MessageBox(MessageParent(), QStringLiteral("%1\nファイルの保存に失敗しました。").arg(PathText(strPath)));
    return false;
}

void CWrenpadDoc::DeleteContents()
{
    m_buffer.FreeAll();
}

bool CWrenpadDoc::DoSave(const std::string &strPath, bool bReplace)
{
    if (!strPath.empty()) {
        if (m_buffer.IsReadOnly())
            return false;
        if (!OnSaveDocument(strPath))
            return false;
        if (bReplace && strPath != m_strPathName)
            SetPathName(strPath);
        return true;
    }

    int nCode = static_cast<int>(m_code.eCode);
    const QStringList files = RunFileDialog(MessageParent(), SaveAsRequest(), &nCode);
    if (files.isEmpty())
        return false;
    const std::string strNewPath = files.first().toStdString();
    // The file is written in the code chosen; the document keeps it only when
    // the file becomes its own.
    const CFileCodeState codeWas = m_code;
    SetTextCode(static_cast<ETextCode>(nCode));
    const bool bSaved = OnSaveDocument(strNewPath);
    if (!bSaved || !bReplace) {
        m_code = codeWas;
        UseCodeState();
        emit StateChanged();
    }
    if (!bSaved)
        return false;
    if (bReplace) {
        // The new file holds the text as it stands.
        m_code.eProblem = ETextProblem::None;
        SetPathName(strNewPath);
    }
    return true;
}

CFileDialogRequest CWrenpadDoc::SaveAsRequest() const
{
    const CSaveFilterChoice choice =
        SaveFilterForTitle(m_strTitle, m_strPathName.empty() ? LeadingText() : std::string());
    CFileDialogRequest request;
    request.bSave = true;
    request.strTitle = QStringLiteral("保存");
    for (const std::string &strFilter : DialogFilterStrings(SAVE_FILE_FILTER))
        request.aFilters << QString::fromStdString(strFilter);
    request.nFilterIndex = choice.nFilterIndex;
    request.strDefaultSuffix = QString::fromStdString(choice.strDefaultExt);
    request.strDirectory = QString::fromStdString(FolderOf(m_strPathName));
    std::string strName = m_strTitle;
    if (FileExtension(strName).empty() && !choice.strDefaultExt.empty())
        strName += "." + choice.strDefaultExt;
    request.strFileName = QString::fromStdString(strName);
    AddCodeChoice(request);
    return request;
}

bool CWrenpadDoc::DoFileSave()
{
    // A file the user may not write goes through the dialog, as a new one does.
    // So does a file that would not come back the same from the text.
    if (m_strPathName.empty() || IsFileReadOnly(ResolveSymlinks(m_strPathName)) || !m_code.IsExact())
        return DoSave(std::string());
    return DoSave(m_strPathName);
}

bool CWrenpadDoc::ReplaceFromFile(const std::string &strPath)
{
    m_buffer.FreeAll();
    // A template in any code becomes text of this document, and a page made
    // from it declares the code the document is saved in.
    std::string bytes;
    if (ReadWholeFile(strPath, bytes) == FILEERR_NONE) {
        CDecodedText text = DecodeFileText(bytes, m_code.eCode);
        if (!text.extra.IsEmpty())
            text.strText = RemapExtraChars(text.strText, text.extra, m_buffer.GetExtraChars());
        if (text.eCode != m_code.eCode)
            ReplaceDeclaredCharset(text.strText, TextCodeCharset(m_code.eCode));
        if (m_buffer.LoadFromMemory(text.strText, -1))
            return true;
    }
    m_buffer.InitNew(LINEEND_CRLF);
    return false;
}

bool CWrenpadDoc::SaveModified()
{
    // A document whose file was deleted holds the only copy of its text.
    if (!IsModified() && !m_bFileDeleted)
        return true;
    const QString strName = PathText(m_strPathName.empty() ? m_strTitle : m_strPathName);
    switch (MessageBox(MessageParent(), QStringLiteral("%1 への変更を保存しますか?").arg(strName), QString(),
                       MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDYES:
        // A document made read-only is not written over its file (a plain
        // save refuses it): the text is kept by saving it under another name.
        return m_buffer.IsReadOnly() ? DoSave(std::string()) : DoFileSave();
    case IDNO:
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------
// State

void CWrenpadDoc::SetPathName(const std::string &strPath)
{
    // A name with another extension (save as, a rename) calls for the
    // colouring of that kind of file, as opening it would.
    const bool bNewKind = !SameExtension(strPath, m_strPathName);
    m_strPathName = strPath;
    if (m_pJournal)
        m_pJournal->SetPath(strPath);
    // A new name (save as) is a file just written: watched from now on as it is.
    if (strPath != m_watch.GetPath()) {
        m_watch.SetPath(strPath);
        m_watch.SetKnown(FileStampOf(strPath));
        m_bFileDeleted = false;
    }
    m_strTitle = strPath.substr(strPath.rfind('/') + 1);
    for (CWrenpadView *pView : m_aViews) {
        pView->SetDocumentPath(strPath);
        if (bNewKind)
            pView->SetViewType(ViewTypeFromPath(strPath));
    }
    if (CWrenpadApp *pApp = WrenpadApp())
        pApp->AddToRecentFileList(strPath);
    emit StateChanged();
}

void CWrenpadDoc::SetTitle(const std::string &strTitle)
{
    m_strTitle = strTitle;
    emit StateChanged();
}

std::string CWrenpadDoc::LeadingText(std::size_t nMax) const
{
    std::string strText;
    for (int i = 0; i < m_buffer.GetLineCount() && strText.size() < nMax; ++i) {
        if (i > 0)
            strText += '\n';
        strText += m_buffer.GetLine(i).substr(0, nMax - strText.size());
    }
    return strText;
}

int CWrenpadDoc::UntitledViewType() const
{
    // A text restored under its old file's name is coloured by that name.
    const int nByName = ViewTypeFromPath(m_strTitle);
    return nByName != VIEWTYPE_STANDARD ? nByName : ViewTypeFromText(LeadingText());
}

void CWrenpadDoc::SetTitleMark(const std::string &strMark)
{
    if (m_strTitleMark == strMark)
        return;
    m_strTitleMark = strMark;
    emit StateChanged();
}

void CWrenpadDoc::CloseWindows()
{
    m_bClosing = true;
    emit CloseRequested();
}

void CWrenpadDoc::SetModifiedFlag(bool bModified)
{
    if (m_bModified == bModified)
        return;
    m_bModified = bModified;
    if (m_pJournal)
        m_pJournal->OnModifiedChanged(bModified);
    emit StateChanged();
}

QFont CWrenpadDoc::GetFont() const
{
    return MakeViewFont(QString::fromStdString(m_lfFont.strFace), m_lfFont.nHeight, m_lfFont.nWeight);
}

// ---------------------------------------------------------------------------
// Views

void CWrenpadDoc::AddView(CWrenpadView *pView)
{
    if (std::find(m_aViews.begin(), m_aViews.end(), pView) == m_aViews.end())
        m_aViews.push_back(pView);
    pView->SetDocument(this);
}

void CWrenpadDoc::RemoveView(CWrenpadView *pView)
{
    m_aViews.erase(std::remove(m_aViews.begin(), m_aViews.end(), pView), m_aViews.end());
}

void CWrenpadDoc::UpdateAllViews()
{
    for (CWrenpadView *pView : m_aViews)
        pView->ApplyViewSettings();
}

// ---------------------------------------------------------------------------
// Commands

void CWrenpadDoc::OnToggleReadOnly()
{
    m_buffer.SetReadOnly(!m_buffer.IsReadOnly());
    emit StateChanged();
}

void CWrenpadDoc::OnChooseFont()
{
    CFontDlg dlg(QString::fromStdString(m_lfFont.strFace), m_lfFont.nHeight * 3 / 4, MessageParent());
    if (ExecDialog(&dlg) != QDialog::Accepted)
        return;
    m_lfFont.strFace = dlg.GetFace().toStdString();
    const int nPoints = std::clamp(dlg.GetPointSize(), 1, FONT_SIZE_MAX);
    m_lfFont.nHeight = nPoints * 4 / 3;
    AppProfile().WriteString(SECTION_MAIN, "FontFace", m_lfFont.strFace);
    AppProfile().WriteInt(SECTION_MAIN, "FontSize", nPoints);
    const QFont font = GetFont();
    for (CWrenpadView *pView : m_aViews)
        pView->SetViewFont(font);
}

void CWrenpadDoc::OnRevert()
{
    if (m_strPathName.empty())
        return;
    const std::string strPath = m_strPathName;
    QString strQuestion = QStringLiteral("ファイルを読み込み直してもよろしいですか？");
    if (IsModified())
        strQuestion.prepend(QStringLiteral("ﾄﾞｷｭﾒﾝﾄは変更されています。現在の作業内容を破棄して、\n"));
    if (MessageBox(MessageParent(), strQuestion, QStringLiteral("復帰"), MB_YESNO | MB_ICONINFORMATION) != IDYES)
        return;
    if (CheckFileForOpening(strPath) == OPEN_MISSING) {
        MessageBox(MessageParent(), QStringLiteral("%1 が見つかりません。").arg(PathText(strPath)), QStringLiteral("失敗"),
                   MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    ReloadFile();
}

bool CWrenpadDoc::ReloadFile()
{
    const std::string strPath = m_strPathName;
    if (strPath.empty())
        return false;
    // The text is thrown away only when the file can be read back.
    const QString strWhy = OpenFailureText(strPath);
    if (!strWhy.isEmpty()) {
        MessageBox(MessageParent(), strWhy, QStringLiteral("失敗"), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }

    SetModifiedFlag(false);
    struct CViewPosition
    {
        CPoint ptCaret;
        int nFirstLine;
        int nFirstColumn;
        int nTabSize;
    };
    std::vector<CViewPosition> aPositions;
    for (CWrenpadView *pView : m_aViews)
        aPositions.push_back({pView->GetCursorPos(), pView->GetFirstVisibleLine(), pView->GetFirstVisibleColumn(),
                              pView->GetTabSize()});
    m_buffer.FreeAll();
    const CFileIdentity identity = StatFileIdentity(strPath);
    const CFileStamp stamp = FileStampOf(strPath);
    const bool bLoaded = LoadDocumentFile(strPath);
    if (!bLoaded) {
        m_buffer.InitNew(LINEEND_CRLF);
        MessageBox(MessageParent(), QStringLiteral("%1\nファイルの読み込みに失敗しました。").arg(PathText(strPath)),
                   QStringLiteral("失敗"), MB_OK | MB_ICONEXCLAMATION);
    } else {
        m_watch.SetKnown(stamp);
        m_bFileDeleted = false;
        JournalFileLoaded(strPath, identity);
    }

    for (std::size_t i = 0; i < m_aViews.size(); ++i) {
        CWrenpadView *pView = m_aViews[i];
        const CViewPosition &pos = aPositions[i];
        // Reloading reset the view; the tab width is the user's, not the file's.
        pView->SetTabSize(pos.nTabSize);
        const int nLines = pView->GetLineCount();
        if (pos.ptCaret.y < nLines) {
            CPoint pt = pos.ptCaret;
            if (pt.x > pView->GetLineLength(pt.y))
                pt.x = 0;
            pt = pView->AfterTrailByte(pt);
            pView->MoveCaret(pt);
            pView->SetSelectionAnchor(pt);
            pView->SelectRange(pt, pt);
            pView->ScrollToFirstLine(std::min(pos.nFirstLine, nLines - 1));
            pView->ScrollToFirstColumn(pos.nFirstColumn);
            pView->UpdateCaretDisplay();
        }
        pView->viewport()->update();
    }
    emit StateChanged();
    return bLoaded;
}

void CWrenpadDoc::EndJournal()
{
    m_pJournal.reset();
}

void CWrenpadDoc::JournalFileLoaded(const std::string &strPath, const CFileIdentity &identity)
{
    if (!m_pJournal)
        return;
    m_pJournal->SetPath(strPath);
    // A record may start from the file only when the file's bytes are the
    // text; a file in another code was converted on reading, so its record
    // starts from a copy of the text instead.
    if (m_code.eCode == ETextCode::Sjis)
        m_pJournal->SetBaselineLoaded(identity, m_buffer.GetLineEndMode());
    else
        m_pJournal->SetBaselineSnapshot();
}

void CWrenpadDoc::OnTabStop(CWrenpadView *pView)
{
    CTabStopDlg dlg(pView ? pView->GetTabSize() : LoadTabStop(AppProfile()), MessageParent());
    if (ExecDialog(&dlg) != QDialog::Accepted)
        return;
    const int nTabSize = dlg.GetTabSize();
    AppProfile().WriteInt(SECTION_MAIN, "TabStop", nTabSize);
    // Every pane of the document shows the same width.
    for (CWrenpadView *pEach : m_aViews)
        pEach->SetTabSize(nTabSize);
}
