// The editor starts without the web engine: its libraries are loaded with
// the module, on the first page shown, never by a start that shows none.
#include "platform/copydata.h"
#include "platform/ui/instancechannel.h"
#include "support/testutil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

TEST(WebEngineStart, TheEditorStartsWithoutLoadingTheWebEngine)
{
    CTempDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *psz : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR", "XDG_STATE_HOME"}) {
        const QString strDir = QString::fromStdString(dir.File(psz));
        QDir().mkpath(strDir);
        QFile::setPermissions(strDir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        env.insert(QString::fromLatin1(psz), strDir);
    }
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    WriteFileBytes(dir.File("page.html"), "<html><body><p>page</p></body></html>\r\n");

    QProcess editor;
    editor.setProcessEnvironment(env);
    editor.start(QFileInfo(QStringLiteral(WP_TOOL_PATH)).absolutePath() + QStringLiteral("/wrenpad"),
                 {QString::fromStdString(dir.File("page.html"))});
    ASSERT_TRUE(editor.waitForStarted(10000));
    // The instance channel opens half-way through the start; the editor
    // answers a message on it once its event loop runs, the window up with
    // the page open. The message names the page already open.
    const QString strChannel = env.value(QStringLiteral("XDG_RUNTIME_DIR")) + QStringLiteral("/wrenpad-instance");
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(strChannel); }, 60000));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return CInstanceChannel::Send(strChannel, COPYDATA_OPEN_FILE, QByteArray::fromStdString(dir.File("page.html")));
        },
        60000));
    ASSERT_EQ(editor.state(), QProcess::Running);

    const std::string strMaps = ReadFileBytes("/proc/" + std::to_string(editor.processId()) + "/maps");
    const auto fnLoaded = [&strMaps](const char *pszLibrary) { return strMaps.find(pszLibrary) != std::string::npos; };
    EXPECT_TRUE(fnLoaded("libQt6Widgets"));
    EXPECT_FALSE(fnLoaded("libQt6WebEngine"));
    EXPECT_FALSE(fnLoaded("wrenpad-webpreview"));

    editor.kill();
    editor.waitForFinished(10000);
}
