#include "search/ui/resultsedit.h"

#include "platform/copydata.h"
#include "search/tagjump.h"
#include "search/ui/searchprogressdlg.h"

#include <QKeyEvent>
#include <QTextBlock>

CResultsEdit::CResultsEdit(QWidget *pParent) : QPlainTextEdit(pParent)
{
    setObjectName(QStringLiteral("results"));
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
                      QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("VL Gothic"), QStringLiteral("IPAGothic")});
    font.setPointSize(12);
    setFont(font);
    // The line jumped to stays marked while the focus is in the editor.
    QPalette pal = palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, pal.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(pal);
}

void CResultsEdit::ClearResults()
{
    clear();
}

void CResultsEdit::AppendResultLine(const CSearchResult &result)
{
    appendPlainText(QString::fromStdString(FormatResultLineUtf8(result)));
}

void CResultsEdit::SetRootFolder(const std::string &strFolder)
{
    m_strRootFolder = strFolder;
    if (!m_strRootFolder.empty() && m_strRootFolder.back() != '/')
        m_strRootFolder += '/';
}

bool CResultsEdit::RunFolderSearch(const FolderSearchParams &params)
{
    SetRootFolder(params.strFolder);
    CSearchProgressDlg dlg(this);
    const bool bResult = dlg.Run(params, [this](const CSearchResult &result) { AppendResultLine(result); });
    ensureCursorVisible();
    return bResult;
}

bool CResultsEdit::JumpToResultLine()
{
    QTextCursor cursor = textCursor();
    const QString strLine = cursor.block().text().left(4000);
    std::string strPath;
    int nLine = 0;
    if (!ParseResultLine(strLine.toStdString(), strPath, nLine))
        return false;
    cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    ensureCursorVisible();
    SendCopyData(COPYDATA_OPEN_FILE_AT_LINE, m_strRootFolder + strPath + "\t" + std::to_string(nLine));
    return true;
}

void CResultsEdit::mouseDoubleClickEvent(QMouseEvent *pEvent)
{
    QPlainTextEdit::mouseDoubleClickEvent(pEvent);
    JumpToResultLine();
}

void CResultsEdit::keyPressEvent(QKeyEvent *pEvent)
{
    if (pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter) {
        JumpToResultLine();
        return;
    }
    QPlainTextEdit::keyPressEvent(pEvent);
}
