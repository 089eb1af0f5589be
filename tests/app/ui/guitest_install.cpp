// An installation: the program, the tool, the shipped data and the desktop
// integration land in the usual places, and the launcher and the metadata
// pass the desktop's own validators. The manual pages format without a
// warning and describe every command of the tool.
#include "support/testutil.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <map>
#include <sstream>

TEST(Install, PutsEverythingInTheUsualPlacesAndValidatesAndTheManualPagesCoverTheTool)
{
    // The build tree holds src/wrenpad-tool.
    const QString strBuild = QFileInfo(QFileInfo(QStringLiteral(WP_TOOL_PATH)).absolutePath()).absolutePath();
    CTempDir prefix;
    const QString strPrefix = QString::fromStdString(prefix.Path());
    const CToolResult install = RunProgram({"cmake", "--install", strBuild.toStdString(), "--prefix", prefix.Path()});
    ASSERT_EQ(install.nStatus, 0) << install.strOut << install.strErr;

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

    const CToolResult desktopCheck = RunProgram({"desktop-file-validate", strDesktop.toStdString()});
    const QString strSaid = QString::fromStdString(desktopCheck.strOut + desktopCheck.strErr);
    EXPECT_EQ(desktopCheck.nStatus, 0) << strSaid.toStdString();
    EXPECT_TRUE(strSaid.trimmed().isEmpty()) << strSaid.toStdString();
    const CToolResult metainfoCheck = RunProgram({"appstreamcli", "validate", "--no-net", strMetainfo.toStdString()});
    EXPECT_EQ(metainfoCheck.nStatus, 0) << metainfoCheck.strOut << metainfoCheck.strErr;

    // The manual pages format without a warning and describe every command
    // that wrenpad-tool --help lists ("  NAME ..." up to the exit statuses).
    QStringList commands;
    const CToolResult help = RunTool({"--help"});
    for (const QString &strLine : QString::fromStdString(help.strOut).split(QLatin1Char('\n'))) {
        if (strLine.startsWith(QStringLiteral("exit status:")))
            break;
        if (strLine.startsWith(QStringLiteral("  ")) && strLine.size() > 2 && strLine[2].isLower())
            commands << strLine.mid(2).section(QLatin1Char(' '), 0, 0);
    }
    ASSERT_GE(commands.size(), 10) << help.strOut;

    for (const char *pszFolder : {"man1", "ja/man1"}) {
        for (const char *pszPage : {"wrenpad.1", "wrenpad-tool.1"}) {
            const QString strPage = strPrefix + "/share/man/" + pszFolder + "/" + pszPage;
            const std::string strWhat = std::string(pszFolder) + "/" + pszPage;
            ASSERT_TRUE(QFileInfo::exists(strPage)) << strWhat;
            // Formatting writes nothing but the page: every kind of troff warning goes to standard error.
            qputenv("MANWIDTH", "80");
            const CToolResult check = RunProgram({"man", "--warnings=w", "-E", "UTF-8", "-l", strPage.toStdString()});
            EXPECT_EQ(check.nStatus, 0) << strWhat;
            EXPECT_TRUE(QString::fromStdString(check.strErr).trimmed().isEmpty()) << strWhat << ": " << check.strErr;
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
