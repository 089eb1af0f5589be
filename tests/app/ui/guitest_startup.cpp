// Start-up: the uninstall switch, the command line, an empty first window or
// none, the single-instance hand-off between two real processes, and
// settings files written by hand.
#include "app/ui/editorrun.h"
#include "platform/copydata.h"
#include "platform/handoff.h"
#include "platform/ui/instancechannel.h"
#include "platform/ui/qsettingsprofile.h"
#include "support/appfixture.h"
#include "syntax/viewtype.h"

#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QSettings>
#include <QStatusBar>

#include <algorithm>
#include <future>
#include <utility>

namespace {

class Startup : public CAppFixture
{
protected:
    // An environment whose configuration, data and runtime folders are the test's own.
    QProcessEnvironment IsolatedEnvironment()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *psz : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR", "XDG_STATE_HOME"}) {
            const QString strDir = QString::fromStdString(m_dir.File(psz));
            QDir().mkpath(strDir);
            QFile::setPermissions(strDir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            env.insert(QString::fromLatin1(psz), strDir);
        }
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return env;
    }

    QString SettingsFile(const QProcessEnvironment &env) const
    {
        return env.value(QStringLiteral("XDG_CONFIG_HOME")) + QStringLiteral("/Orvane Applet/Wrenpad.ini");
    }
};

} // namespace

TEST_F(Startup, CommandLineFilesOpenAndAMissingOneIsReported)
{
    const std::string strFile = WriteFile("given.html", "<html>\n");
    QDir::setCurrent(QString::fromStdString(m_dir.Path()));
    ASSERT_TRUE(Start({"given.html", "nowhere.txt"}));
    ASSERT_EQ(m_pApp->GetDocumentCount(), 1);
    EXPECT_EQ(Doc()->GetPathName(), strFile);
    EXPECT_EQ(View()->GetViewType(), VIEWTYPE_HTML);
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_EQ(m_aBoxes[0].strText, QString::fromStdString(m_dir.File("nowhere.txt")) + " が見つかりません。");
    EXPECT_TRUE(Frame()->isVisible());
    // Where the program is, for the programs that read the settings.
    EXPECT_FALSE(m_profile.GetString("", "AppPath", "").empty());
}

TEST_F(Startup, UninstallSwitchRemovesTheSettings)
{
    m_profile.WriteInt(SECTION_MAIN, "MRUCount", 9);
    m_aAnswers = {IDNO};
    EXPECT_FALSE(Start({"/unreg"}));
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_TRUE(m_aBoxes[0].strText.startsWith("Wrenpadを「アンインストール」しようとしています。"));
    EXPECT_EQ(m_profile.GetInt(SECTION_MAIN, "MRUCount", -1), 9);
    EXPECT_EQ(m_pApp->GetMainFrame(), nullptr);

    m_aBoxes.clear();
    m_aAnswers = {IDYES};
    EXPECT_FALSE(Start({"/UNREG"}));
    ASSERT_EQ(m_aBoxes.size(), 2u);
    EXPECT_TRUE(m_aBoxes[1].strText.startsWith("Wrenpadのレジストリーエントリーを全て削除しました。"));
    EXPECT_FALSE(m_profile.HasEntry(SECTION_MAIN, "MRUCount"));

    m_profile.WriteInt(SECTION_MAIN, "MRUCount", 9);
    m_aBoxes.clear();
    EXPECT_FALSE(Start({"/s", "/unreg"}));
    EXPECT_TRUE(m_aBoxes.empty());
    EXPECT_FALSE(m_profile.HasEntry(SECTION_MAIN, "MRUCount"));
}

TEST_F(Startup, UnregSilentInARealProcessEmptiesTheSettingsFileOrSaysWhyNot)
{
    const QProcessEnvironment env = IsolatedEnvironment();
    {
        QSettings ini(SettingsFile(env), QSettings::IniFormat);
        ini.setValue(QStringLiteral("Wrenpad/Version 1.0/MRUCount"), 7);
        ini.setValue(QStringLiteral("Recent File List/File1"), QStringLiteral("/w/a.txt"));
    }
    EXPECT_EQ(RunEditor(env, {"/unreg", "/s"}).nExit, 0) << EditorPath().toStdString();
    {
        QSettings ini(SettingsFile(env), QSettings::IniFormat);
        EXPECT_TRUE(ini.allKeys().isEmpty()) << ini.allKeys().join(' ').toStdString();
    }

    // A folder where the settings file should be: nothing can be written there.
    QFile::remove(SettingsFile(env));
    ASSERT_TRUE(QDir().mkpath(SettingsFile(env)));
    const CEditorRun run = RunEditor(env, {"/unreg", "/s"});
    EXPECT_EQ(run.nExit, 1);
    EXPECT_TRUE(run.strErr.contains("レジストリーエントリーの削除に失敗しました。") && run.strErr.contains(SettingsFile(env)))
        << run.strErr.toStdString();
}

TEST_F(Startup, HelpAndVersionAnswerWithoutADisplayOrAWindow)
{
    QProcessEnvironment env = IsolatedEnvironment();
    for (const char *psz : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LC_ALL", "LC_MESSAGES"})
        env.remove(QString::fromLatin1(psz));
    const auto run = [&env](const QStringList &args, const char *pszLang) {
        env.insert(QStringLiteral("LANG"), QString::fromLatin1(pszLang));
        const CEditorRun result = RunEditor(env, args);
        EXPECT_EQ(result.nExit, 0) << args.join(' ').toStdString();
        return result.strOut;
    };
    const QString strHelp = run({"--help"}, "C.UTF-8");
    EXPECT_TRUE(strHelp.startsWith("usage: wrenpad [OPTION]... [FILE]...\n")) << strHelp.toStdString();
    EXPECT_TRUE(strHelp.contains("--print-pdf OUT.pdf FILE"));
    EXPECT_TRUE(run({"a.txt", "-h"}, "ja_JP.UTF-8").startsWith("使い方: wrenpad"));
    EXPECT_EQ(run({"--version"}, "C"), QStringLiteral("wrenpad " WRENPAD_VERSION "\n"));
}

TEST_F(Startup, ASecondProcessHandsItsFileToTheFirstAndExits)
{
    const QProcessEnvironment env = IsolatedEnvironment();
    // This process is the first instance, on the user's default channel.
    qputenv("XDG_RUNTIME_DIR", env.value(QStringLiteral("XDG_RUNTIME_DIR")).toLocal8Bit());
    m_pApp = std::make_unique<CWrenpadApp>();
    ASSERT_TRUE(m_pApp->InitInstance({}));
    ASSERT_TRUE(m_pApp->GetChannel() && m_pApp->GetChannel()->IsListening());
    const int nDocs = m_pApp->GetDocumentCount();

    const std::string strFile = WriteFile("handed.txt", "from the second\r\n");
    QProcess second;
    second.setProcessEnvironment(env);
    second.setWorkingDirectory(QString::fromStdString(m_dir.Path()));
    second.start(EditorPath(), {"handed.txt"});
    ASSERT_TRUE(second.waitForStarted(10000)) << EditorPath().toStdString();
    EXPECT_TRUE(WaitFor([&] { return second.state() == QProcess::NotRunning; }));
    EXPECT_EQ(second.exitCode(), 0);
    ASSERT_TRUE(WaitFor([&] { return m_pApp->GetDocumentCount() == nDocs + 1; }));
    EXPECT_EQ(Doc()->GetPathName(), strFile);
    EXPECT_EQ(Text(Doc()), "from the second|");
    qunsetenv("XDG_RUNTIME_DIR");
}

TEST_F(Startup, TheChannelIgnoresMalformedAndOverlongMessages)
{
    ASSERT_TRUE(Start());
    const QString strPath = m_pApp->GetChannel()->Path();
    const int nDocs = m_pApp->GetDocumentCount();

    // A second channel on the same path cannot listen: it is the second
    // instance. Where no channel can be made, the process is the first one, unreachable.
    CInstanceChannel other(strPath);
    EXPECT_FALSE(other.Listen());
    CInstanceChannel nowhere(QStringLiteral("/nonexistent-folder/wrenpad-instance"));
    EXPECT_TRUE(nowhere.Listen() && !nowhere.IsListening());
    CInstanceChannel tooLong(QString::fromStdString(m_dir.File(std::string(120, 'x'))));
    EXPECT_TRUE(tooLong.Listen() && !tooLong.IsListening());
    // Nobody answers there: the sender gives up within its time.
    EXPECT_FALSE(CInstanceChannel::Send(nowhere.Path(), HANDOFF_ACTIVATE, QByteArray(), 300));

    // The bad messages go first; the channel has dealt with each once it has
    // closed its connection, and the good one that follows is still served.
    const std::string strFile = WriteFile("ok.txt", "ok");
    const std::string strGood = WriteFile("good.txt", "good");
    std::vector<std::unique_ptr<QLocalSocket>> sockets;
    for (const std::string &bytes : {std::string("garbage that is no message"),
                                     EncodeHandoffMessage(COPYDATA_OPEN_FILE, std::string(HANDOFF_MAX_PAYLOAD + 1, 'a')),
                                     EncodeHandoffMessage(COPYDATA_OPEN_FILE_AT_LINE, strFile),
                                     EncodeHandoffMessage(99, strFile)}) {
        sockets.push_back(std::make_unique<QLocalSocket>());
        sockets.back()->connectToServer(strPath);
        ASSERT_TRUE(sockets.back()->waitForConnected(3000));
        sockets.back()->write(bytes.data(), static_cast<qint64>(bytes.size()));
        sockets.back()->waitForBytesWritten(3000);
    }

    // The sender waits for the answer, so it runs beside this thread's event loop.
    std::future<bool> sent = std::async(std::launch::async, [&] {
        return CInstanceChannel::Send(strPath, COPYDATA_OPEN_FILE, QByteArray::fromStdString(strGood));
    });
    ASSERT_TRUE(WaitFor([&] { return sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    EXPECT_TRUE(sent.get());
    ASSERT_TRUE(WaitFor([&] {
        return std::all_of(sockets.begin(), sockets.end(),
                           [](const auto &p) { return p->state() == QLocalSocket::UnconnectedState; });
    }));
    ASSERT_TRUE(WaitFor([&] { return m_pApp->GetDocumentCount() > nDocs; }));
    EXPECT_EQ(std::make_pair(m_pApp->GetDocumentCount(), Doc()->GetPathName()), std::make_pair(nDocs + 1, strGood));
    EXPECT_TRUE(m_aBoxes.empty());
}

TEST_F(Startup, ASettingsFileWithWrongTypesStartsWithTheDefaults)
{
    const QString strIni = QString::fromStdString(m_dir.File("bad.ini"));
    WriteFileBytes(strIni.toStdString(),
                   "[Wrenpad]\n"
                   "Version%201.0\\bOpenNewFile=yes please\n"
                   "Version%201.0\\MRUCount=99\n"
                   "Version%201.0\\FontSize=99999999999\n"
                   "Version%201.0\\TabStop=-3\n"
                   "Version%201.0\\clTag=-5\n"
                   "Version%201.0\\showCmd=3.5\n"
                   "Version%201.0\\Wndleft=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x18QTextFormat)\n"
                   "Version%201.0\\strNowDate=%Y, %m, %d\n"
                   "Version%201.0\\StatusBar=1\n"
                   "[Recent%20File%20List]\nFile1=\nFile2=" + m_dir.File("nothing.txt") + "\n");
    CQSettingsProfileStore store(strIni);
    SetAppProfile(&store);
    ASSERT_TRUE(Start());
    ASSERT_EQ(m_pApp->GetDocumentCount(), 1);
    EXPECT_EQ((std::vector<unsigned>{unsigned(m_pApp->RecentFiles().GetMaxSize()), unsigned(Doc()->GetFontSetting().nHeight),
                                     unsigned(View()->GetTabSize()), AppSettings().m_crColors[CLR_TAG]}),
              (std::vector<unsigned>{4, 18, 4, 0x008000u}));
    EXPECT_FALSE(Frame()->statusBar()->isHidden());
    EXPECT_EQ(store.GetString(SECTION_MAIN, "strNowDate", ""), "%Y, %m, %d");
    m_pApp.reset();
    SetAppProfile(nullptr);
}
