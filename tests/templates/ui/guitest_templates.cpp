// Templates through the real windows: keeping the text as a template under
// exactly the name typed, asking before one is replaced, opening a new
// untitled document from one, the choice dialog's preview, and the options
// page that adds, deletes and renames them.
#include "app/ui/templates.h"
#include "platform/ui/shellopen.h"
#include "res/commands.h"
#include "support/appfixture.h"
#include "support/fakepreview.h"
#include "syntax/viewtype.h"
#include "templates/ui/templatedlg.h"
#include "templates/ui/templatepage.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <functional>
#include <tuple>

namespace {

class Templates : public CAppFixture
{
protected:
    void SetUp() override
    {
        CAppFixture::SetUp();
        // A program folder of this test's own: tests run side by side.
        m_strAppName = QCoreApplication::applicationName();
        QCoreApplication::setApplicationName(
            QStringLiteral("wp_templates_%1_%2")
                .arg(QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name()))
                .arg(QCoreApplication::applicationPid()));
        m_profile.WriteInt(SECTION_MAIN, "bOpenNewFile", 0);
        SetBeepHook([this] { ++m_nBeeps; });
        m_strFolder = TemplateFolder().toStdString();
        ASSERT_FALSE(m_strFolder.empty());
    }

    void TearDown() override
    {
        CAppFixture::TearDown();
        SetBeepHook(nullptr);
        std::filesystem::remove_all(std::filesystem::path(m_strFolder).parent_path());
        QCoreApplication::setApplicationName(m_strAppName);
    }

    std::string Template(const std::string &strName) const { return m_strFolder + "/" + strName; }

    // The name dialog answers with the given name (or is cancelled).
    void AnswerName(const QString &strName, bool bAccept = true)
    {
        m_fnDialog = [this, strName, bAccept](QDialog *pDialog) {
            auto *pDlg = qobject_cast<CTemplateNameDlg *>(pDialog);
            if (!pDlg)
                return static_cast<int>(QDialog::Rejected);
            m_aPresets << pDlg->GetName();
            pDlg->SetName(strName);
            return static_cast<int>(bAccept ? QDialog::Accepted : QDialog::Rejected);
        };
    }

    void Run(int nID)
    {
        Frame()->ExecuteCommand(nID);
        Idle();
    }

    // The message boxes shown, as "caption: text".
    QStringList Boxes() const
    {
        QStringList a;
        for (const CMsgBoxRequest &box : m_aBoxes)
            a << box.strCaption + ": " + box.strText;
        return a;
    }

    // The choice dialog answers with row nRow; fnThen runs once it has.
    void ChooseTemplate(int nRow, QStringList *pListed = nullptr, std::function<void()> fnThen = {})
    {
        m_fnDialog = [=](QDialog *pDialog) {
            auto *pDlg = qobject_cast<CTemplateSelectDlg *>(pDialog);
            if (!pDlg)
                return static_cast<int>(QDialog::Rejected);
            for (int i = 0; pListed && i < pDlg->GetList()->count(); ++i)
                *pListed << pDlg->GetList()->item(i)->text();
            pDlg->GetList()->setCurrentRow(nRow);
            pDlg->accept();
            if (fnThen)
                fnThen();
            return pDlg->result();
        };
    }

    QString m_strAppName;
    std::string m_strFolder;
    QStringList m_aPresets;
    int m_nBeeps = 0;
};

} // namespace

TEST_F(Templates, TheTextIsKeptUnderExactlyTheNameTypedInTheFolderAndTheDocumentStaysAsItWas)
{
    ASSERT_TRUE(Start());
    const std::string strPath = WriteFile("page.html", "<p>\r\nsaved\r\n");
    CWrenpadDoc *pDoc = Open(strPath);
    ASSERT_TRUE(pDoc);
    QTest::keyClicks(View(), QStringLiteral("new "));
    ASSERT_TRUE(pDoc->IsModified());

    AnswerName(QStringLiteral("記事.html"));
    Run(ID_TEMPLATE_REGISTER);
    EXPECT_TRUE(m_aBoxes.empty());
    EXPECT_EQ(ReadFileBytes(Template("記事.html")), "new <p>\r\nsaved\r\n");
    EXPECT_EQ(pDoc->GetPathName(), strPath);
    EXPECT_TRUE(pDoc->IsModified());
    EXPECT_EQ(ReadFileBytes(strPath), "<p>\r\nsaved\r\n");
    Frame()->ExecuteCommand(ID_EDIT_UNDO);
    EXPECT_FALSE(pDoc->IsModified());

    // No extension is added, and one typed is kept as it is.
    AnswerName(QStringLiteral("memo"));
    Run(ID_TEMPLATE_REGISTER);
    EXPECT_TRUE(FileExists(Template("memo")) && !FileExists(Template("memo.html")));

    // A name in use asks first; No keeps the old template, Yes replaces it.
    AnswerName(QStringLiteral("記事.html"));
    m_aAnswers = {IDNO};
    Run(ID_TEMPLATE_REGISTER);
    EXPECT_EQ(Boxes(), QStringList{"ﾃﾝﾌﾟﾚｰﾄの保存: すでに同名で登録されています。上書きしますか？"});
    EXPECT_EQ(m_aBoxes.back().nStyle, unsigned(MB_YESNO | MB_ICONINFORMATION));
    EXPECT_EQ(ReadFileBytes(Template("記事.html")), "new <p>\r\nsaved\r\n");
    m_aAnswers = {IDYES};
    Run(ID_TEMPLATE_REGISTER);
    EXPECT_EQ(ReadFileBytes(Template("記事.html")), "<p>\r\nsaved\r\n");

    // Cancelled, nothing happens.
    m_aBoxes.clear();
    AnswerName(QStringLiteral("cancelled"), false);
    Run(ID_TEMPLATE_REGISTER);
    EXPECT_FALSE(FileExists(Template("cancelled")));
    EXPECT_TRUE(m_aBoxes.empty());

    // A name that leaves the folder is refused; which names do is the name
    // check's business.
    AnswerName(QStringLiteral("../escape.html"));
    Run(ID_TEMPLATE_REGISTER);
    EXPECT_EQ(Boxes(), QStringList{"エラー: 登録名が不正です。"});
    EXPECT_FALSE(FileExists(std::filesystem::path(m_strFolder).parent_path() / "escape.html"));
    EXPECT_EQ(ListDir(m_strFolder).size(), 2u);  // 記事.html and memo
}

TEST_F(Templates, OpeningOneGivesAnUntitledDocumentWithItsTextOrAnEmptyOneWhenItCannotBeRead)
{
    WriteFileBytes(Template("page.html"), "<html>\r\n<p>\x93\xfa\x96\x7b</p>\r\n</html>\r\n");
    WriteFileBytes(Template("a.txt"), "a");
    WriteFileBytes(Template("gone.html"), "x");
    ASSERT_TRUE(Start());
    CFakePreviewScope fake;
    QStringList listed;
    ChooseTemplate(2, &listed);
    Run(ID_TEMPLATE_OPEN);
    EXPECT_EQ(listed, (QStringList{"a.txt", "gone.html", "page.html"}));
    CWrenpadDoc *pDoc = Doc();
    ASSERT_TRUE(pDoc);
    EXPECT_EQ(Text(pDoc), "<html>|<p>\x93\xfa\x96\x7b</p>|</html>|");
    EXPECT_EQ(std::make_tuple(pDoc->GetPathName(), pDoc->GetTitle(), pDoc->IsModified(), View()->GetViewType()),
              std::make_tuple(std::string(), std::string("新規ﾌｧｲﾙ1"), false, int(VIEWTYPE_HTML)));
    EXPECT_TRUE(m_aBoxes.empty());

    // A template gone before it is read.
    ChooseTemplate(1, nullptr, [this] { std::filesystem::remove(Template("gone.html")); });
    Run(ID_TEMPLATE_OPEN);
    EXPECT_EQ(Boxes(), QStringList{"ﾌｧｲﾙのｵｰﾌﾟﾝ: ﾃﾝﾌﾟﾚｰﾄﾌｧｲﾙのｵｰﾌﾟﾝに失敗しました。"});
    ASSERT_TRUE(Doc());
    EXPECT_EQ(Text(Doc()), "");

    // Cancelled, no document is made.
    m_fnDialog = nullptr;
    const int nDocs = m_pApp->GetDocumentCount();
    Run(ID_TEMPLATE_OPEN);
    EXPECT_EQ(m_pApp->GetDocumentCount(), nDocs);
}

TEST_F(Templates, TheChoiceIsPreviewedOnlyWhileTheBoxIsTicked)
{
    CFakePreviewScope fake;
    WriteFileBytes(Template("a.html"), "a");
    WriteFileBytes(Template("b.html"), "b");
    CTemplateSelectDlg dlg(QString::fromStdString(m_strFolder));

    // OK with nothing chosen beeps and stays, even where the list has a
    // current row of its own (it takes one with the focus).
    dlg.GetList()->setCurrentRow(1, QItemSelectionModel::NoUpdate);
    dlg.accept();
    EXPECT_EQ(m_nBeeps, 1);
    EXPECT_NE(dlg.result(), QDialog::Accepted);

    dlg.GetPreviewCheck()->setChecked(false);
    dlg.GetList()->setCurrentRow(0);
    EXPECT_EQ(dlg.GetPreviewEngine(), nullptr);
    EXPECT_TRUE(fake.Log().aCalls.empty());

    dlg.GetPreviewCheck()->setChecked(true);
    EXPECT_EQ(fake.Log().Last(), "navigate " + Template("a.html"));
    dlg.GetList()->setCurrentRow(1);
    EXPECT_EQ(fake.Log().Last(), "navigate " + Template("b.html"));
    EXPECT_EQ(fake.Log().nAlive, 1);

    dlg.accept();
    EXPECT_EQ(std::make_pair(dlg.result(), dlg.GetName()), std::make_pair(int(QDialog::Accepted), QString("b.html")));
}

TEST_F(Templates, ThePageAddsDeletesAndRenamesInTheFolderAtOnce)
{
    CTemplatesPage page(QString::fromStdString(m_strFolder));
    const std::string strSource = WriteFile("source page.html", "source");
    auto click = [&](const char *pszName, const std::string &strFile = std::string()) {
        if (!strFile.empty())
            m_aFileAnswers = {QStringList{QString::fromStdString(strFile)}};
        page.findChild<QPushButton *>(QString::fromUtf8(pszName))->click();
        QApplication::processEvents();
    };
    auto listed = [&page] {
        QStringList names;
        for (int i = 0; i < page.GetList()->count(); ++i)
            names << page.GetList()->item(i)->text();
        return names;
    };

    // Added under a name, preset with the file's own.
    AnswerName(QStringLiteral("new.html"));
    click("templateAdd", strSource);
    EXPECT_EQ(m_aPresets, QStringList{"source page.html"});
    EXPECT_EQ(ReadFileBytes(Template("new.html")), "source");
    EXPECT_EQ(listed(), QStringList{"new.html"});
    // Added again under the same name, it replaces the old one.
    WriteFileBytes(strSource, "changed");
    click("templateAdd", strSource);
    EXPECT_EQ(ReadFileBytes(Template("new.html")), "changed");
    EXPECT_EQ(listed(), QStringList{"new.html"});
    EXPECT_TRUE(m_aBoxes.empty());
    // A file that is not there.
    click("templateAdd", m_dir.File("missing.html"));
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_EQ(m_aBoxes[0].strText, "ﾌｧｲﾙが見つかりません。登録に失敗しました。");

    // Renaming onto another template is refused and loses nothing; a change
    // of case alone is a rename.
    WriteFileBytes(Template("other.html"), "other");
    page.GetList()->addItem(QStringLiteral("other.html"));
    page.GetList()->setCurrentRow(0);
    m_aBoxes.clear();
    AnswerName(QStringLiteral("other.html"));
    click("templateRename");
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_EQ(m_aBoxes[0].strText, "登録ﾌｧｲﾙの名前の変更に失敗しました。");
    EXPECT_EQ(ReadFileBytes(Template("other.html")), "other");
    EXPECT_EQ(ReadFileBytes(Template("new.html")), "changed");
    AnswerName(QStringLiteral("New.HTML"));
    page.GetList()->setCurrentRow(0);
    click("templateRename");
    EXPECT_TRUE(ReadFileBytes(Template("New.HTML")) == "changed" && !FileExists(Template("new.html")));
    EXPECT_EQ(listed(), (QStringList{"other.html", "New.HTML"}));

    // Deleting asks; No keeps the file.
    m_aBoxes.clear();
    page.GetList()->setCurrentRow(0);
    m_aAnswers = {IDNO};
    click("templateDelete");
    EXPECT_EQ(Boxes(), QStringList{"確認: リストを削除してもよろしいですか？"});
    EXPECT_TRUE(FileExists(Template("other.html")));
    m_aAnswers = {IDYES};
    click("templateDelete");
    EXPECT_FALSE(FileExists(Template("other.html")));
    EXPECT_EQ(listed(), QStringList{"New.HTML"});

    // Without a selection, delete and rename beep.
    page.GetList()->clearSelection();
    const int nBeeps = m_nBeeps;
    click("templateDelete");
    click("templateRename");
    EXPECT_EQ(m_nBeeps, nBeeps + 2);

    std::vector<std::string> aOpened;
    SetShellOpenHook([&aOpened](const std::string &strTarget) { return aOpened.push_back(strTarget), true; });
    click("templateFolder");
    SetShellOpenHook(nullptr);
    EXPECT_EQ(aOpened, std::vector<std::string>{m_strFolder});
}

TEST_F(Templates, WithoutAFolderEveryButtonOnlyBeeps)
{
    CTemplatesPage page{QString()};
    for (const char *pszName : {"templateAdd", "templateDelete", "templateRename", "templateFolder"})
        page.findChild<QPushButton *>(QString::fromUtf8(pszName))->click();
    EXPECT_EQ(m_nBeeps, 4);
    EXPECT_TRUE(m_aFileRequests.empty());
    EXPECT_TRUE(m_aBoxes.empty());
}
