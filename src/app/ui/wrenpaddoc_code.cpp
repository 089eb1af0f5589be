// The document and its file's character code: reading and writing in the
// file's own code, the refusal to make editable what could not be saved back
// unchanged, and reopening in a code the user names.
#include "app/ui/wrenpaddoc.h"

#include "app/appsettings.h"
#include "app/docfile.h"
#include "platform/ui/msgbox.h"
#include "res/commands.h"
#include "text/codedfile.h"
#include "text/doctext.h"
#include "text/kanjiio.h"
#include "text/ui/codec_qt.h"

#include <QApplication>

#include <algorithm>
#include <utility>

namespace {

QWidget *MessageParent()
{
    return QApplication::activeWindow();
}

} // namespace

void CWrenpadDoc::RegisterCodeCommands()
{
    OnCommandRange(ID_FILE_REOPEN_SJIS, ID_FILE_REOPEN_JIS,
                   [this](int nID) { ReopenWithCode(static_cast<ETextCode>(nID - ID_FILE_REOPEN_SJIS)); });
    OnUpdate(ID_INDICATOR_FILECODE,
             [this](CCmdUI *pCmdUI) { pCmdUI->SetText(QString::fromUtf8(TextCodeLabel(m_code.eCode))); });
    for (int nID = ID_FILE_REOPEN_SJIS; nID <= ID_FILE_REOPEN_JIS; ++nID) {
        OnUpdate(nID, [this, nID](CCmdUI *pCmdUI) {
            pCmdUI->Enable(!m_strPathName.empty());
            pCmdUI->SetCheck(static_cast<int>(m_code.eCode) == nID - ID_FILE_REOPEN_SJIS ? 1 : 0);
        });
    }
}

void CWrenpadDoc::AddCodeChoice(CFileDialogRequest &request) const
{
    request.strChoiceLabel = QStringLiteral("文字コード(&K):");
    for (int i = 0; i < TEXT_CODE_COUNT; ++i)
        request.aChoices << QString::fromUtf8(TextCodeLabel(static_cast<ETextCode>(i)));
    request.nChoice = static_cast<int>(m_code.eCode);
}

ETextCode CWrenpadDoc::NewDocumentCode()
{
    ETextCode eCode = ETextCode::Sjis;
    if (!ParseTextCodeTag(AppSettings().m_strNewFileCode, eCode))
        eCode = ETextCode::Sjis;
    return eCode;
}

void CWrenpadDoc::RestoreTextCode(const std::string &strRecordCode, const std::string &strFile)
{
    CFileCodeState state;
    if (!CodeStateFromLine(strRecordCode, state)) {
        state = CFileCodeState();
        state.eCode = NewDocumentCode();
        std::string bytes;
        if (!strFile.empty() && ReadWholeFile(strFile, bytes) == FILEERR_NONE) {
            CDecodedText text = DecodeFileText(bytes, NewDocumentCode(), false);
            state.eCode = text.eCode;
            CopyDecodeFindings(state, std::move(text));
        }
    }
    m_code = state;
    UseCodeState();
    emit StateChanged();
}

bool CWrenpadDoc::LoadDocumentFile(const std::string &strPath)
{
    CFileCodeState state;
    // A file of nothing but ASCII is whatever new documents are.
    if (!LoadCodedFile(m_buffer, strPath, state, NewDocumentCode(), m_eForcedCode))
        return false;
    m_code = std::move(state);
    UseCodeState();
    if (!m_code.IsExact()) {
        MessageBox(MessageParent(),
                   QStringLiteral("%1\n%2 のファイルとして読み込みましたが、%3\n"
                                  "保存すると内容が失われるため、書込み禁止で開きます。内容のコピーはできます。")
                       .arg(PathText(strPath), QString::fromUtf8(TextCodeLabel(m_code.eCode)),
                            QString::fromStdString(DescribeCodeProblem(m_code))),
                   QStringLiteral("文字コード"), MB_OK | MB_ICONEXCLAMATION);
    }
    return true;
}

bool CWrenpadDoc::SaveDocumentFile(const std::string &strPath, bool *pbReported)
{
    *pbReported = false;
    if (!m_code.IsExact() && !m_strPathName.empty() && strPath == m_strPathName) {
        // Made writable by hand: the file still holds what the text lost.
        MessageBox(MessageParent(),
                   QStringLiteral("%1\nこのファイルは読み込みで失われた文字を含むため、上書きできません。\n"
                                  "別の名前で保存してください。")
                       .arg(PathText(strPath)),
                   QStringLiteral("保存"), MB_OK | MB_ICONEXCLAMATION);
        *pbReported = true;
        return false;
    }
    CCodedSaveFailure failure;
    // A Shift-JIS file cannot take the characters of the table: the encoder
    // stops at the first, which the message names.
    if (SaveCodedFile(m_buffer, strPath, m_code.eCode, m_code.forms, &failure, -1, true, &m_code.extra))
        return true;
    if (!failure.bUnencodable)
        return false;
    const std::string_view line(m_buffer.GetLineText(failure.nLine),
                                static_cast<std::size_t>(m_buffer.GetLineLength(failure.nLine)));
    const std::string_view rest = line.substr(static_cast<std::size_t>(failure.nChar));
    const char32_t c = SjisCharToUnicode(rest.substr(0, 2), m_code.forms, &m_code.extra);
    QString strChar;
    if (c != 0) {
        strChar = QString::fromStdString(DescribeCodePoint(c));
    } else {
        strChar = QStringLiteral("(バイト 0x%1)")
                      .arg(static_cast<unsigned char>(rest.empty() ? 0 : rest[0]), 2, 16, QLatin1Char('0'))
                      .toUpper();
    }
    MessageBox(MessageParent(),
               QStringLiteral("%1\n%2 行目の文字 %3 は %4 で保存できません。\nファイルは変更していません。")
                   .arg(PathText(strPath))
                   .arg(failure.nLine + 1)
                   .arg(strChar, QString::fromUtf8(TextCodeLabel(m_code.eCode))),
               QStringLiteral("保存"), MB_OK | MB_ICONEXCLAMATION);
    *pbReported = true;
    return false;
}

void CWrenpadDoc::SetTextCode(ETextCode eCode)
{
    if (eCode == m_code.eCode)
        return;
    // The forms of the dual-form characters stay: they are the same in
    // either UTF-8, and the other codes do not use them. So does the table
    // of extra characters: a Shift-JIS file refuses its characters, and
    // another code writes them. A Shift-JIS text's own user-defined
    // characters keep their codes in a table it starts.
    if (m_code.eCode == ETextCode::Sjis && m_code.extra.IsEmpty()) {
        std::size_t nTop = 0;
        for (int i = 0; i < m_buffer.GetLineCount(); ++i)
            nTop = std::max(nTop, UserAreaCodesUsed(m_buffer.GetLine(i)));
        SeedExtraChars(m_code.extra, nTop);
    }
    m_code.eCode = eCode;
    UseCodeState();
    emit StateChanged();
}

void CWrenpadDoc::UseCodeState()
{
    m_code.extra.SetForeignForms(ForeignForms(m_code.eCode, m_code.forms));
    m_buffer.SetExtraChars(m_code.eCode == ETextCode::Sjis ? nullptr : &m_code.extra);
}

bool CWrenpadDoc::ReopenWithCode(ETextCode eCode)
{
    if (m_strPathName.empty())
        return false;
    if (IsModified()
        && MessageBox(MessageParent(),
                      QStringLiteral("ﾄﾞｷｭﾒﾝﾄは変更されています。現在の作業内容を破棄して、\n"
                                     "%1 として読み込み直しますか？")
                          .arg(QString::fromUtf8(TextCodeLabel(eCode))),
                      QStringLiteral("文字コード指定で開き直す"), MB_YESNO | MB_ICONQUESTION)
               != IDYES)
        return false;
    const std::optional<ETextCode> eWas = m_eForcedCode;
    m_eForcedCode = eCode;
    if (!ReloadFile()) {
        m_eForcedCode = eWas;
        return false;
    }
    return true;
}
