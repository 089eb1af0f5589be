// A web page in UTF-8 with characters Shift-JIS lacks (©, é, a non-breaking
// space, emoji): typed, pasted, copied, undone, found, replaced and saved in
// the document's table of extra characters; and a Shift-JIS document that
// refuses them by name.
#include "app/ui/appcommands.h"
#include "platform/ui/filedialogs.h"
#include "res/commands.h"
#include "search/ui/foldersearchhost.h"
#include "search/ui/resultsedit.h"
#include "text/extrachars.h"

#include <QClipboard>
#include <QComboBox>
#include <QMimeData>
#include <QPushButton>
#include <QTextDocument>

#include <utility>

namespace {

class ExtraChars : public CAppCommands
{
protected:
    // Runs the find or replace dialog: texts typed, then the button pressed.
    void RunSearchDialog(int nCommand, const QString &strWhat, const QString &strWith, const char *pszButton)
    {
        m_fnDialog = [&](QDialog *pDialog) {
            pDialog->findChild<QComboBox *>(QStringLiteral("searchText"))->setEditText(strWhat);
            if (auto *pWith = pDialog->findChild<QComboBox *>(QStringLiteral("replaceText")))
                pWith->setEditText(strWith);
            pDialog->findChild<QPushButton *>(QString::fromLatin1(pszButton))->click();
            return static_cast<int>(QDialog::Rejected);
        };
        Frame()->ExecuteCommand(nCommand);
        m_fnDialog = nullptr;
        Idle();
    }

    static constexpr const char *PAGE = "<p>\xC2\xA9 caf\xC3\xA9\xC2\xA0" "2026</p>\n";
};

} // namespace

// Which code each character takes is the table's business; here that typing,
// pasting, undoing and copying reach it, and the file gets the characters.
TEST_F(ExtraChars, AWebAuthorTypesPastesUndoesAndSavesCharactersShiftJisLacks)
{
    ASSERT_TRUE(Start());
    const std::string strPath = WriteFile("page.html", PAGE);
    CWrenpadDoc *pDoc = Open(strPath);
    ASSERT_TRUE(pDoc);
    EXPECT_FALSE(pDoc->GetBuffer().IsReadOnly());

    // Typed through the input method: one known, one new; the caret stands
    // after é's one cell and the emoji's two.
    View()->PlaceCaret(CPoint(0, 1));
    Commit(QStringLiteral("\u00E9\U0001F600"));
    Idle();
    EXPECT_EQ(View()->GetCaretColumn(), 3);
    // Pasted from another program, undone and done again.
    QApplication::clipboard()->setText(QStringLiteral("X\U0001F600Y\u00FC"));
    Frame()->ExecuteCommand(ID_EDIT_PASTE);
    for (const int nID : {ID_EDIT_UNDO, ID_EDIT_UNDO, ID_EDIT_REDO, ID_EDIT_REDO})
        Frame()->ExecuteCommand(nID);
    Idle();

    // Copied out, the characters themselves, and nothing of this document's codes.
    View()->SetSelectionAnchor(CPoint(0, 1));
    View()->SelectRange(CPoint(0, 1), CPoint(5, 1));
    Frame()->ExecuteCommand(ID_EDIT_COPY);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("\u00E9\U0001F600X"));
    EXPECT_FALSE(QApplication::clipboard()->mimeData()->hasFormat(QStringLiteral("application/x-wrenpad-sjis")));

    Run(ID_FILE_SAVE);
    EXPECT_TRUE(m_aBoxes.empty());
    EXPECT_EQ(ReadFileBytes(strPath), std::string(PAGE) + "\xC3\xA9\xF0\x9F\x98\x80X\xF0\x9F\x98\x80Y\xC3\xBC");
}

TEST_F(ExtraChars, FindAndReplaceGoThroughTheTable)
{
    ASSERT_TRUE(Start());
    const std::string strPath = WriteFile("page.html", std::string(PAGE) + "caf\xC3\xA9 caf\xC3\xA9\n");
    CWrenpadDoc *pDoc = Open(strPath);
    ASSERT_TRUE(pDoc);
    View()->PlaceCaret(CPoint(0, 0));
    RunSearchDialog(ID_EDIT_FIND, QStringLiteral("caf\u00E9"), QString(), "findNext");
    EXPECT_TRUE(m_aBoxes.empty());
    CPoint b;
    CPoint e;
    View()->GetSelectionRange(b, e);
    EXPECT_EQ(std::make_pair(b, e), std::make_pair(CPoint(6, 0), CPoint(11, 0)));
    // A character the page does not hold cannot be there: not found, and
    // the table does not grow for it.
    RunSearchDialog(ID_EDIT_FIND, QStringLiteral("\u00F1"), QString(), "findNext");
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_EQ(m_aBoxes[0].strText, QStringLiteral("\"\u00F1\"が見つかりません"));
    EXPECT_EQ(pDoc->GetCodeState().extra.Size(), 3u);

    // Replaced by a character new to the page, and saved as it.
    m_aBoxes.clear();
    RunSearchDialog(ID_EDIT_REPLACE, QStringLiteral("caf\u00E9"), QStringLiteral("ma\u00F1ana"), "replaceAll");
    Run(ID_FILE_SAVE);
    EXPECT_EQ(ReadFileBytes(strPath), "<p>\xC2\xA9 ma\xC3\xB1" "ana\xC2\xA0" "2026</p>\nma\xC3\xB1" "ana ma\xC3\xB1" "ana\n");
}

TEST_F(ExtraChars, AShiftJisDocumentNamesWhatItCannotHold)
{
    ASSERT_TRUE(Start());
    CWrenpadDoc *pDoc = Open(WriteFile("sjis.txt", "\x8A\xBF\n"));
    ASSERT_TRUE(pDoc);
    ASSERT_EQ(pDoc->GetTextCode(), ETextCode::Sjis);
    View()->PlaceCaret(CPoint(0, 1));
    m_aAnswers = {IDCANCEL};
    Commit(QStringLiteral("a\u00A9"));
    Idle();
    EXPECT_EQ(pDoc->GetBuffer().GetLine(1), "");
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_TRUE(m_aBoxes[0].strText.contains(QStringLiteral("「\u00A9」(U+00A9)"))
                && m_aBoxes[0].strText.contains(QStringLiteral("Shift-JIS")))
        << m_aBoxes[0].strText.toStdString();
    m_aAnswers = {IDOK};
    Commit(QStringLiteral("a\u00A9"));
    Idle();
    EXPECT_EQ(pDoc->GetBuffer().GetLine(1), "a?");
}

TEST_F(ExtraChars, SavingAsShiftJisNamesTheCharacterAndWritesNothing)
{
    ASSERT_TRUE(Start());
    const std::string strPath = WriteFile("page.html", PAGE);
    CWrenpadDoc *pDoc = Open(strPath);
    ASSERT_TRUE(pDoc);
    const std::string strCopy = m_dir.File("copy.html");
    int nCode = -1;
    // The dialog's code choice: Shift-JIS.
    SetFileDialogHook([&](CFileDialogRequest &request) {
        nCode = request.nChoice;
        request.nChoice = static_cast<int>(ETextCode::Sjis);
        return QStringList{QString::fromStdString(strCopy)};
    });
    Run(ID_FILE_SAVE_AS);
    EXPECT_EQ(nCode, static_cast<int>(ETextCode::Utf8));
    EXPECT_FALSE(FileExists(strCopy));
    ASSERT_FALSE(m_aBoxes.empty());
    EXPECT_TRUE(m_aBoxes.back().strText.contains(QStringLiteral("1 行目の文字 「\u00A9」(U+00A9) は Shift-JIS で保存できません")))
        << m_aBoxes.back().strText.toStdString();
    EXPECT_TRUE(pDoc->GetTextCode() == ETextCode::Utf8 && pDoc->GetPathName() == strPath);
}

TEST_F(ExtraChars, FolderSearchFromASelectionSearchesItsCharacters)
{
    ASSERT_TRUE(Start());
    WriteFile("other.html", "\xC3\xA9: \xC2\xA9 caf\xC3\xA9\n");
    CWrenpadDoc *pDoc = Open(WriteFile("page.html", PAGE));
    ASSERT_TRUE(pDoc);
    View()->SetSelectionAnchor(CPoint(3, 0));
    View()->SelectRange(CPoint(3, 0), CPoint(11, 0));
    QString strProposed;
    m_fnDialog = [&](QDialog *pDialog) {
        strProposed = pDialog->findChild<QComboBox *>(QStringLiteral("searchText"))->currentText();
        pDialog->findChild<QComboBox *>(QStringLiteral("patterns"))->setEditText(QStringLiteral("*.html"));
        pDialog->findChild<QPushButton *>(QStringLiteral("search"))->click();
        return pDialog->result();
    };
    Frame()->ExecuteCommand(ID_FOLDER_SEARCH);
    m_fnDialog = nullptr;
    Idle();
    EXPECT_EQ(strProposed, QStringLiteral("\u00A9 caf\u00E9"));
    // The raw text keeps the non-breaking space (the plain text makes it a space).
    QStringList aLines = RequestResultsBar()->document()->toRawText().split(QChar::ParagraphSeparator).mid(0, 2);
    aLines.sort();
    EXPECT_EQ(aLines, QStringList({QStringLiteral("other.html(1): \u00E9: \u00A9 caf\u00E9"),
                                   QStringLiteral("page.html(1): <p>\u00A9 caf\u00E9\u00A0" "2026</p>")}));
}
