// The explorer pane in the running program: where it opens and what it keeps,
// the files it lists, new items and their names, renaming in place, deleting
// to the trash, reading folders again, and how it opens files.
#include "app/ui/dialoganswer.h"
#include "explorer/ui/dirlistdialogs.h"
#include "explorer/ui/dirlistdlg.h"
#include "explorer/ui/dirtreectrl.h"
#include "explorer/ui/dirtreemodel.h"
#include "platform/ui/shellopen.h"
#include "res/commands.h"
#include "search/ui/foldersearchdlg.h"
#include "support/appfixture.h"
#include "syntax/viewtype.h"
#include "templates/ui/templatedlg.h"

#include <QComboBox>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QToolBar>

#include <sys/stat.h>

namespace {

class DirList : public CAppFixture
{
protected:
    void SetUp() override
    {
        CAppFixture::SetUp();
        SetShellOpenHook([this](const std::string &strTarget) {
            m_aShellOpened.push_back(strTarget);
            return true;
        });
        SetFileDialogHook([this](const CFileDialogRequest &request) {
            EXPECT_TRUE(request.bFolder);
            m_strFolderTitle = request.strTitle;
            return m_strFolderAnswer.isEmpty() ? QStringList() : QStringList{m_strFolderAnswer};
        });
        // Nothing of the user's home is listed.
        m_profile.WriteString(SECTION_DIRLIST, "root", m_tree.Path());
        m_profile.WriteString(SECTION_DIRLIST, "path", m_tree.Path());
    }

    void TearDown() override
    {
        SetShellOpenHook(nullptr);
        SetFileDialogHook(nullptr);
        CAppFixture::TearDown();
    }

    CDirListDlg *Pane() const { return Frame()->GetDirListDlg(); }
    CDirTreeModel *Model() const { return Pane()->GetModel(); }
    CDirTreeCtrl *Tree() const { return Pane()->GetTree(); }

    // Runs the event loop until the worker has read everything asked for,
    // including what queued work (a rename after its editor closed) asks.
    void WaitForTree()
    {
        QElapsedTimer timer;
        timer.start();
        for (;;) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
            if (!Pane() || !Model()->IsLoading()) {
                QApplication::processEvents();
                if (!Pane() || !Model()->IsLoading())
                    return;
            }
            ASSERT_LT(timer.elapsed(), 20000) << "the tree is still loading";
        }
    }

    void OpenPane(const std::string &strRoot, const std::string &strPath = std::string())
    {
        Frame()->ExecuteCommand(ID_VIEW_EXPLORER);
        ASSERT_NE(Pane(), nullptr);
        Pane()->SetRoot(strRoot, strPath);
        WaitForTree();
    }

    // The names under an item, folders marked with '/'.
    QStringList Children(const std::string &strFolder) const
    {
        QStringList names;
        const QModelIndex parent = Model()->FindLoaded(strFolder);
        for (int i = 0; i < Model()->rowCount(parent); ++i) {
            const QModelIndex child = Model()->index(i, 0, parent);
            names << child.data().toString() + (Model()->IsFolder(child) ? QStringLiteral("/") : QString());
        }
        return names;
    }

    // Where the pane is: its root and its selected path.
    std::pair<std::string, std::string> Place() const { return {Pane()->GetRoot(), Pane()->GetPath()}; }

    // A pane command on an item, as the context menu gives it.
    void Run(const std::string &strPath, int nID)
    {
        Select(strPath);
        Pane()->ExecuteCommand(nID);
        WaitForTree();
    }

    void Select(const std::string &strPath)
    {
        const QModelIndex index = Model()->FindLoaded(strPath);
        ASSERT_TRUE(index.isValid()) << strPath;
        Tree()->setCurrentIndex(index);
    }

    void Key(int nKey)
    {
        QTest::keyClick(Tree(), static_cast<Qt::Key>(nKey));
        WaitForTree();
    }

    // Ends a label edit the way the user does: the text, then Enter (or Escape).
    void FinishEdit(const QString &strText, bool bCommit = true)
    {
        auto *pEditor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        ASSERT_NE(pEditor, nullptr) << "no label is being edited";
        pEditor->setText(strText);
        QTest::keyClick(pEditor, bCommit ? Qt::Key_Return : Qt::Key_Escape);
        WaitForTree();
    }

    // A file with the folders on its way.
    std::string Make(const std::string &strName, const std::string &strBytes = "x")
    {
        WriteFiles(m_tree.Path(), {{strName, strBytes}});
        return m_tree.File(strName);
    }

    std::string MakeFolder(const std::string &strName)
    {
        EXPECT_EQ(::mkdir(m_tree.File(strName).c_str(), 0777), 0);
        return m_tree.File(strName);
    }

    // The folder the pane shows; the application keeps files of its own in m_dir.
    CTempDir m_tree;
    std::vector<std::string> m_aShellOpened;
    QString m_strFolderAnswer;
    QString m_strFolderTitle;
};

// Points the desktop's trash at a folder of the test while it lives.
class CTrashHome
{
public:
    // The trashed copies of a name ("Trash/files/<name>" wherever the trash is).
    QStringList Trashed(const QString &strName) const
    {
        QStringList found;
        QDirIterator it(QString::fromStdString(m_home.Path()), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString strPath = it.next();
            if (strPath.endsWith(QStringLiteral("Trash/files/") + strName))
                found << strPath;
        }
        return found;
    }
    // Leaves the desktop no place for a trash.
    void Block()
    {
        for (const char *pszName : {".local", ".qttest", "share"})
            WriteFileBytes(m_home.File(pszName), "");
    }

private:
    CTempDir m_home;
    const CEnvironment m_homeVariable{"HOME", m_home.Path()};
    const CEnvironment m_dataVariable{"XDG_DATA_HOME", m_home.File("share")};
};

} // namespace

void PrintTo(const QString &str, std::ostream *pOut)
{
    *pOut << '"' << str.toStdString() << '"';
}

TEST_F(DirList, OpensBesideTheDocumentOrWhereItWasAndKeepsItsPlaceWhenClosed)
{
    const std::string strSaved = MakeFolder("saved");
    Make("saved/a.txt");
    m_profile.WriteString(SECTION_DIRLIST, "root", strSaved);
    m_profile.WriteString(SECTION_DIRLIST, "path", m_tree.File("saved/a.txt"));
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Doc()->GetPathName().empty());

    // An untitled document: where the pane was last. Ctrl+W works from the
    // text, where the document window's own menu wants the key too.
    QTest::keyClick(View(), Qt::Key_W, Qt::ControlModifier);
    ASSERT_NE(Pane(), nullptr);
    WaitForTree();
    EXPECT_EQ(Place(), std::make_pair(strSaved, m_tree.File("saved/a.txt")));
    EXPECT_EQ(Frame()->dockWidgetArea(Pane()), Qt::LeftDockWidgetArea);
    EXPECT_EQ(Pane()->windowTitle(), "ﾌｧｲﾙｴｸｽﾌﾟﾛｰﾗｰ");

    // A saved document: its folder, with it selected, however deep.
    const std::string strPage = Make("site/blog/Index.html", "<p>");
    ASSERT_NE(m_pApp->OpenDocumentFile(QString::fromStdString(strPage)), nullptr);
    CDirListDlg *pFirst = Pane();
    Frame()->ExecuteCommand(ID_VIEW_EXPLORER);
    WaitForTree();
    EXPECT_EQ(Pane(), pFirst);
    EXPECT_EQ(Place(), std::make_pair(m_tree.File("site/blog"), strPage));
    EXPECT_TRUE(Tree()->hasFocus());

    // Up to the parent: the old root is selected there. At "/" there is no up.
    Pane()->ExecuteCommand(ID_DIRLIST_UP);
    WaitForTree();
    EXPECT_EQ(Place(), std::make_pair(m_tree.File("site"), m_tree.File("site/blog")));
    m_strFolderAnswer = QString::fromStdString(strSaved + "/");
    Pane()->ExecuteCommand(ID_DIRLIST_ROOT);
    WaitForTree();
    EXPECT_EQ(m_strFolderTitle, "ルートパスの指定");
    EXPECT_EQ(Place(), std::make_pair(strSaved, std::string()));

    // Closing keeps root, path and filter; the frame forgets the pane.
    Select(m_tree.File("saved/a.txt"));
    Pane()->close();
    Idle();
    EXPECT_EQ(Pane(), nullptr);
    EXPECT_EQ((std::vector<std::string>{m_profile.GetString(SECTION_DIRLIST, "root", ""),
                                        m_profile.GetString(SECTION_DIRLIST, "path", ""),
                                        m_profile.GetString(SECTION_DIRLIST, "file", "")}),
              (std::vector<std::string>{strSaved, m_tree.File("saved/a.txt"), DEFAULT_DIRLIST_FILTER}));

    // A root that no longer exists falls back to the home folder.
    m_profile.WriteString(SECTION_DIRLIST, "root", "c:\\");
    Frame()->ExecuteCommand(ID_FILE_NEW);
    Frame()->ExecuteCommand(ID_VIEW_EXPLORER);
    EXPECT_EQ(Pane()->GetRoot(), QDir::homePath().toStdString());
    Pane()->SetRoot("/", "");
    EXPECT_FALSE(Pane()->GetToolBar()->actions()[1]->isEnabled());
}

TEST_F(DirList, ListsEveryFolderAndTheFilesOfTheFilterWhichTheOptionsChange)
{
    MakeFolder("empty");
    for (const char *pszFile : {"img/logo.gif", "pages/a.html", "index.html", "INDEX.HTM", "readme.txt", "photo.jpg"})
        Make(pszFile);
    m_profile.WriteString(SECTION_DIRLIST, "file", "html");
    m_profile.WriteString(SECTION_MAIN, "UseWrenpadExtension", "txt");
    ASSERT_TRUE(Start());
    OpenPane(m_tree.Path());
    EXPECT_EQ(Children(m_tree.Path()), (QStringList{"empty/", "img/", "pages/", "index.html"}));

    m_fnDialog = [](QDialog *pDialog) {
        auto *pOptions = qobject_cast<CDirListOptionsDlg *>(pDialog);
        EXPECT_NE(pOptions, nullptr);
        if (!pOptions)
            return static_cast<int>(QDialog::Rejected);
        EXPECT_EQ(pOptions->GetFileFilter(), "html");
        EXPECT_EQ(pOptions->GetOwnExtensions(), "txt");
        pDialog->findChild<QLineEdit *>("fileFilter")->setText("");
        pDialog->findChild<QLineEdit *>("ownExtensions")->setText("txt;htm");
        return static_cast<int>(QDialog::Accepted);
    };
    Run(m_tree.File("index.html"), ID_DIRLIST_OPTIONS);
    EXPECT_EQ(Children(m_tree.Path()),
              (QStringList{"empty/", "img/", "pages/", "INDEX.HTM", "index.html", "photo.jpg", "readme.txt"}));
    EXPECT_EQ(Pane()->GetPath(), m_tree.File("index.html"));
    // The editor's list is written at once, the filter when the pane or the
    // window closes. A close the user cancels leaves the pane where it is.
    EXPECT_EQ(m_profile.GetString(SECTION_MAIN, "UseWrenpadExtension", ""), "txt;htm");
    EXPECT_EQ(m_profile.GetString(SECTION_DIRLIST, "file", "?"), "html");
    Frame()->ExecuteCommand(ID_FILE_NEW);
    View()->ReplaceSelectedText("unsaved");
    m_aAnswers = {IDCANCEL};
    Frame()->close();
    Idle();
    ASSERT_TRUE(Frame()->isVisible());
    EXPECT_EQ(m_profile.GetString(SECTION_DIRLIST, "file", "?"), "");
    EXPECT_NE(Pane(), nullptr);
}

TEST_F(DirList, NewItemsTakeTheNextFreeNameAndOpenTheirLabelForEditing)
{
    Make("site/page.html");
    Make("templete/基本.html", "<!DOCTYPE html>\n");
    ASSERT_TRUE(Start());
    OpenPane(m_tree.Path());
    Pane()->SetTemplateFolder(QString::fromStdString(m_tree.File("templete")));
    Tree()->expand(Model()->FindLoaded(m_tree.File("site")));
    WaitForTree();

    // With a file selected, new items go beside it.
    for (const char *pszName : {"新しいフォルダ", "新しいフォルダ (1)"}) {
        Run(m_tree.File("site/page.html"), ID_DIRLIST_NEW_FOLDER);
        EXPECT_EQ(Pane()->GetPath(), m_tree.File("site/") + pszName);
        EXPECT_TRUE(Tree()->IsEditing());
        FinishEdit(QString::fromUtf8(pszName), false);
    }
    // With a folder selected, inside it.
    Run(m_tree.File("site"), ID_DIRLIST_NEW_HTML);
    EXPECT_EQ(Pane()->GetPath(), m_tree.File("site/新規HTML.html"));
    // Typing replaces the name and keeps the extension.
    auto *pEditor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    ASSERT_NE(pEditor, nullptr);
    EXPECT_EQ(pEditor->selectedText(), "新規HTML");
    EXPECT_EQ(ReadFileBytes(m_tree.File("site/新規HTML.html")),
              "<html>\r\n<head>\r\n<title></title>\r\n</head>\r\n<body>\r\n\r\n</body>\r\n</html>");
    FinishEdit("top.html");
    EXPECT_TRUE(FileExists(m_tree.File("site/top.html")));
    EXPECT_FALSE(FileExists(m_tree.File("site/新規HTML.html")));
    EXPECT_EQ(Pane()->GetPath(), m_tree.File("site/top.html"));

    // A template keeps its own extension.
    m_fnDialog = [](QDialog *pDialog) {
        auto *pChoose = qobject_cast<CTemplateSelectDlg *>(pDialog);
        EXPECT_NE(pChoose, nullptr);
        if (!pChoose || pChoose->GetList()->count() != 1)
            return static_cast<int>(QDialog::Rejected);
        pChoose->GetList()->setCurrentRow(0);
        pChoose->accept();
        return pChoose->result();
    };
    Run(m_tree.File("site"), ID_DIRLIST_NEW_FROM_TEMPLATE);
    EXPECT_EQ(Pane()->GetPath(), m_tree.File("site/基本.html"));
    FinishEdit("基本.html", false);

    // Every name taken up to (98): a message.
    Make("site/新規テキスト.txt");
    for (int n = 1; n <= 98; ++n)
        Make("site/新規テキスト (" + std::to_string(n) + ").txt");
    Run(m_tree.File("site"), ID_DIRLIST_NEW_TEXT);
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_EQ(m_aBoxes[0].strText.toStdString(), m_tree.File("site/新規テキスト (98).txt") + "\nファイルの作成に失敗しました");
    EXPECT_EQ(m_aBoxes[0].nStyle & 0xF0, static_cast<unsigned>(MB_ICONSTOP));
}

TEST_F(DirList, RenamingInPlaceChangesCaseButNeverReplacesAnotherFile)
{
    Make("page.html", "page");
    Make("other.html", "other");
    ASSERT_TRUE(Start());
    OpenPane(m_tree.Path());

    Select(m_tree.File("page.html"));
    Key(Qt::Key_F2);
    FinishEdit("Page.html");
    EXPECT_EQ(Children(m_tree.Path()), (QStringList{"other.html", "Page.html"}));
    EXPECT_EQ(Pane()->GetPath(), m_tree.File("Page.html"));
    EXPECT_TRUE(m_aBoxes.empty());
    // The keyboard stays in the tree for the next key.
    EXPECT_EQ(QApplication::focusWidget(), Tree());

    Key(Qt::Key_F2);
    FinishEdit("other.html");
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_EQ(m_aBoxes[0].strCaption, "エラー");
    EXPECT_EQ(Children(m_tree.Path()), (QStringList{"other.html", "Page.html"}));
}

TEST_F(DirList, DocumentsFollowTheirFileOrFolderToItsNewName)
{
    const std::string strPage = Make("site/page.html", "<p>");
    ASSERT_TRUE(Start());
    CWrenpadDoc *pPage = m_pApp->OpenDocumentFile(QString::fromStdString(strPage));
    ASSERT_TRUE(pPage);
    OpenPane(m_tree.Path(), m_tree.File("site"));
    Tree()->expand(Model()->FindLoaded(m_tree.File("site")));
    WaitForTree();

    // Another extension: the document's name and colouring follow at once.
    Select(strPage);
    Key(Qt::Key_F2);
    FinishEdit("page.txt");
    EXPECT_EQ(pPage->GetPathName(), m_tree.File("site/page.txt"));
    EXPECT_EQ(pPage->GetViews().front()->GetViewType(), VIEWTYPE_STANDARD);
    // A folder: the documents of the files inside it move with it, and a
    // save writes the file under its new name.
    Select(m_tree.File("site"));
    Key(Qt::Key_F2);
    FinishEdit("www");
    EXPECT_EQ(pPage->GetPathName(), m_tree.File("www/page.txt"));
    QTest::keyClicks(pPage->GetViews().front(), QStringLiteral("x"));
    ASSERT_TRUE(pPage->DoFileSave());
    EXPECT_EQ(ReadFileBytes(m_tree.File("www/page.txt")), "x<p>");
    EXPECT_TRUE(m_aBoxes.empty());
}

TEST_F(DirList, DeletesAFolderWithItsFilesToTheTrashAfterAsking)
{
    const CTrashHome trash;
    Make("old/img/b.gif", "b");
    Make("z.txt");
    ASSERT_TRUE(Start());
    OpenPane(m_tree.Path());

    Select(m_tree.File("old"));
    m_aAnswers = {IDNO};
    Key(Qt::Key_Delete);
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_TRUE(m_aBoxes[0].strText.contains("old"));
    EXPECT_EQ(m_aBoxes[0].nStyle & MB_YESNO, static_cast<unsigned>(MB_YESNO));
    EXPECT_TRUE(FileExists(m_tree.File("old/img/b.gif")));

    m_aAnswers = {IDYES};
    Run(m_tree.File("old"), ID_DIRLIST_DELETE);
    EXPECT_FALSE(FileExists(m_tree.File("old")));
    const QStringList trashed = trash.Trashed("old");
    ASSERT_EQ(trashed.size(), 1);
    EXPECT_EQ(ReadFileBytes((trashed[0] + "/img/b.gif").toStdString()), "b");
    EXPECT_EQ(Children(m_tree.Path()), QStringList{"z.txt"});
    // The next item takes the selection.
    EXPECT_EQ(Pane()->GetPath(), m_tree.File("z.txt"));
    // The root cannot be deleted from its own tree.
    Tree()->setCurrentIndex(Model()->RootIndex());
    const std::size_t nBoxes = m_aBoxes.size();
    Pane()->ExecuteCommand(ID_DIRLIST_DELETE);
    EXPECT_EQ(m_aBoxes.size(), nBoxes);
}

TEST_F(DirList, WithoutATrashDeletingForGoodIsOfferedAndNoKeepsTheItem)
{
    CTrashHome trash;
    trash.Block();
    Make("old/a.txt");
    ASSERT_TRUE(Start());
    OpenPane(m_tree.Path());

    m_aAnswers = {IDYES, IDNO};
    Run(m_tree.File("old"), ID_DIRLIST_DELETE);
    ASSERT_EQ(m_aBoxes.size(), 2u);
    EXPECT_TRUE(m_aBoxes[1].strText.contains("ごみ箱に移動できませんでした"));
    EXPECT_NE(m_aBoxes[1].nStyle & MB_DEFBUTTON2, 0u);
    EXPECT_TRUE(FileExists(m_tree.File("old/a.txt")));

    m_aAnswers = {IDYES, IDYES};
    Run(m_tree.File("old"), ID_DIRLIST_DELETE);
    EXPECT_FALSE(FileExists(m_tree.File("old")));
    EXPECT_TRUE(Children(m_tree.Path()).isEmpty());
}

TEST_F(DirList, OpensInTheEditorByExtensionAndOtherwiseWithTheDesktop)
{
    const std::string strText = Make("a.txt", "text");
    const std::string strImage = Make("b.gif", "GIF89a");
    MakeFolder("sub");
    m_profile.WriteString(SECTION_MAIN, "UseWrenpadExtension", "TXT;html");
    m_profile.WriteInt(SECTION_MAIN, "bOpenNewFile", 0);
    ASSERT_TRUE(Start());
    OpenPane(m_tree.Path());

    Select(strImage);
    Key(Qt::Key_Return);
    EXPECT_EQ(m_aShellOpened, std::vector<std::string>{strImage});
    EXPECT_TRUE(m_pApp->Documents().isEmpty());

    Select(strText);
    Key(Qt::Key_Return);
    ASSERT_EQ(m_pApp->Documents().size(), 1);
    EXPECT_EQ(m_pApp->Documents()[0]->GetPathName(), strText);
    EXPECT_EQ(m_aShellOpened.size(), 1u);

    // "Wrenpadで編集" takes any file; "開く" gives any to the desktop.
    Run(strImage, ID_DIRLIST_EDIT);
    EXPECT_EQ(m_pApp->Documents().size(), 2);
    Run(strText, ID_DIRLIST_OPEN);
    EXPECT_EQ(m_aShellOpened.back(), strText);

    // A folder is not opened: Enter shows what is in it.
    Select(m_tree.File("sub"));
    const std::size_t nOpened = m_aShellOpened.size();
    Key(Qt::Key_Return);
    EXPECT_TRUE(Tree()->isExpanded(Model()->FindLoaded(m_tree.File("sub"))));
    EXPECT_EQ(m_aShellOpened.size(), nOpened);
    EXPECT_EQ(m_pApp->Documents().size(), 2);

    // With no list of its own, the editor opens nothing itself.
    m_profile.WriteString(SECTION_MAIN, "UseWrenpadExtension", "");
    Select(strText);
    Key(Qt::Key_Return);
    EXPECT_EQ(m_aShellOpened.back(), strText);
    EXPECT_EQ(m_pApp->Documents().size(), 2);

    // Tab gives the keyboard back to the text.
    Tree()->setFocus();
    QTest::keyClick(Tree(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), View());
}

TEST_F(DirList, RefreshReadsTheFolderAgainAndKeepsWhatIsOpenBelow)
{
    for (const char *pszFile : {"sub/x.txt", "a.txt"})
        Make(pszFile);
    ASSERT_TRUE(Start());
    OpenPane(m_tree.Path());
    Tree()->expand(Model()->FindLoaded(m_tree.File("sub")));
    WaitForTree();
    ASSERT_EQ(Children(m_tree.File("sub")), QStringList{"x.txt"});

    for (const char *pszFile : {"b.txt", "sub/y.txt"})
        Make(pszFile);
    ASSERT_EQ(std::remove(m_tree.File("a.txt").c_str()), 0);
    Select(m_tree.File("sub"));
    Key(Qt::Key_F5);
    EXPECT_EQ(Children(m_tree.Path()), (QStringList{"sub/", "b.txt"}));
    EXPECT_TRUE(Tree()->isExpanded(Model()->FindLoaded(m_tree.File("sub"))));
    EXPECT_EQ(Children(m_tree.File("sub")), (QStringList{"x.txt", "y.txt"}));
    EXPECT_EQ(Pane()->GetPath(), m_tree.File("sub"));
}

TEST_F(DirList, PropertiesAndSearchAreAboutTheSelectedItem)
{
    const std::string strFile = Make("site/sjis.txt", "\x82\xA0\x82\xA2\r\n");
    ::chmod(strFile.c_str(), 0640);
    ASSERT_TRUE(Start());
    OpenPane(m_tree.Path(), strFile);
    ASSERT_EQ(Pane()->GetPath(), strFile);

    QStringList aValues;
    m_fnDialog = Answer<CItemPropertiesDlg>([&](CItemPropertiesDlg *p) {
        aValues = {p->GetValue("propCode"), p->GetValue("propSize"), p->GetValue("propPermissions")};
    });
    Pane()->ExecuteCommand(ID_DIRLIST_PROPERTIES);
    EXPECT_EQ(aValues, (QStringList{"Shift-JIS", "6 バイト", "rw-r----- (640)"}));

    // The search starts in the file's folder.
    QString strFolder;
    m_fnDialog = Answer<CFolderSearchDlg>(
        [&strFolder](CFolderSearchDlg *p) { strFolder = p->findChild<QComboBox *>("folder")->currentText(); },
        QDialog::Rejected);
    Pane()->ExecuteCommand(ID_DIRLIST_FIND);
    EXPECT_EQ(strFolder.toStdString(), m_tree.File("site"));
}
