// An installation: the program, the tool, the shipped data and the desktop
// integration land in the usual places, and the launcher and the metadata
// pass the desktop's own validators. The manual pages format without a
// warning and describe every command of the tool.
#include "support/testutil.h"

#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace {

struct CRun
{
    int nExit = -1;
    QString strOutput;
};

CRun RunProgram(const QString &strProgram, const QStringList &args, bool bMergeChannels = true)
{
    QProcess process;
    if (bMergeChannels)
        process.setProcessChannelMode(QProcess::MergedChannels);
    else
        process.setStandardOutputFile(QProcess::nullDevice());
    process.start(strProgram, args);
    CRun run;
    if (!process.waitForFinished(120000))
        return run;
    run.nExit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.strOutput = QString::fromUtf8(bMergeChannels ? process.readAll() : process.readAllStandardError());
    return run;
}

} // namespace

TEST(Install, PutsEverythingInTheUsualPlacesAndValidatesAndTheManualPagesCoverTheTool)
{
    // The build tree holds src/wrenpad-tool.
    const QString strBuild = QFileInfo(QFileInfo(QStringLiteral(WP_TOOL_PATH)).absolutePath()).absolutePath();
    CTempDir prefix;
    const QString strPrefix = QString::fromStdString(prefix.Path());
    const CRun install = RunProgram(QStringLiteral("cmake"), {"--install", strBuild, "--prefix", strPrefix});
    ASSERT_EQ(install.nExit, 0) << install.strOutput.toStdString();

    for (const char *psz : {"bin/wrenpad", "bin/wrenpad-tool"})
        EXPECT_TRUE(QFileInfo(strPrefix + "/" + psz).isExecutable()) << psz;
    EXPECT_TRUE(QFileInfo(strPrefix + "/share/wrenpad").isDir());
    EXPECT_FALSE(QFileInfo::exists(strPrefix + "/share/wrenpad/README.md"));
    // The manual goes with the data; the program reads it from there.
    for (const char *psz : {"index.html", "help.html", "style.css", "images/main.png"})
        EXPECT_TRUE(QFileInfo(strPrefix + "/share/wrenpad/help/" + psz).isFile()) << psz;
    const QString strDesktop = strPrefix + "/share/applications/jp.orvane.Wrenpad.desktop";
    const QString strMetainfo = strPrefix + "/share/metainfo/jp.orvane.Wrenpad.metainfo.xml";
    ASSERT_TRUE(QFileInfo::exists(strDesktop));
    ASSERT_TRUE(QFileInfo::exists(strMetainfo));

    // The launcher starts the installed program with the files chosen, shows
    // an icon that is installed, and offers the types the editor colours.
    std::map<std::string, std::string> entries;
    std::istringstream lines(ReadFileBytes(strDesktop.toStdString()));
    for (std::string strLine; std::getline(lines, strLine);)
        if (const std::size_t nEq = strLine.find('='); nEq != std::string::npos)
            entries[strLine.substr(0, nEq)] = strLine.substr(nEq + 1);
    EXPECT_EQ(entries["Exec"], "wrenpad %F");
    EXPECT_TRUE(QFileInfo::exists(strPrefix + "/share/icons/hicolor/scalable/apps/"
                                  + QString::fromStdString(entries["Icon"]) + ".svg"));
    const QString strTypes = QString::fromStdString(entries["MimeType"]);
    for (const char *psz : {"text/html", "text/plain", "text/x-c++src", "text/x-java", "application/x-perl"})
        EXPECT_TRUE(strTypes.contains(QString::fromLatin1(psz))) << psz;

    const CRun desktopCheck = RunProgram(QStringLiteral("desktop-file-validate"), {strDesktop});
    EXPECT_EQ(desktopCheck.nExit, 0) << desktopCheck.strOutput.toStdString();
    EXPECT_TRUE(desktopCheck.strOutput.trimmed().isEmpty()) << desktopCheck.strOutput.toStdString();
    const CRun metainfoCheck = RunProgram(QStringLiteral("appstreamcli"), {"validate", "--no-net", strMetainfo});
    EXPECT_EQ(metainfoCheck.nExit, 0) << metainfoCheck.strOutput.toStdString();

    // The manual pages format without a warning and describe every command
    // that wrenpad-tool --help lists ("  NAME ..." up to the exit statuses).
    QStringList commands;
    const CRun help = RunProgram(QStringLiteral(WP_TOOL_PATH), {"--help"});
    for (const QString &strLine : help.strOutput.split(QLatin1Char('\n'))) {
        if (strLine.startsWith(QStringLiteral("exit status:")))
            break;
        if (strLine.startsWith(QStringLiteral("  ")) && strLine.size() > 2 && strLine[2].isLower())
            commands << strLine.mid(2).section(QLatin1Char(' '), 0, 0);
    }
    ASSERT_GE(commands.size(), 10) << help.strOutput.toStdString();

    for (const char *pszFolder : {"man1", "ja/man1"}) {
        for (const char *pszPage : {"wrenpad.1", "wrenpad-tool.1"}) {
            const QString strPage = strPrefix + "/share/man/" + pszFolder + "/" + pszPage;
            const std::string strWhat = std::string(pszFolder) + "/" + pszPage;
            ASSERT_TRUE(QFileInfo::exists(strPage)) << strWhat;
            // Formatting writes nothing but the page: every kind of troff warning goes to standard error.
            qputenv("MANWIDTH", "80");
            const CRun check = RunProgram(QStringLiteral("man"), {"--warnings=w", "-E", "UTF-8", "-l", strPage}, false);
            EXPECT_EQ(check.nExit, 0) << strWhat;
            EXPECT_TRUE(check.strOutput.trimmed().isEmpty()) << strWhat << ": " << check.strOutput.toStdString();
            const std::string strSource = ReadFileBytes(strPage.toStdString());
            EXPECT_NE(strSource.find("\"Wrenpad " WRENPAD_VERSION "\""), std::string::npos) << strWhat;
            if (std::string(pszPage) != "wrenpad-tool.1")
                continue;
            for (const QString &strCommand : commands)
                EXPECT_NE(strSource.find("\\fB" + strCommand.toStdString()), std::string::npos)
                    << strWhat << " lacks " << strCommand.toStdString();
        }
    }
}
