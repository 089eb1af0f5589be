// An installation: the program, the tool, the shipped data and the desktop
// integration land in the usual places, and the launcher and the metadata
// pass the desktop's own validators.
#include "support/testutil.h"

#include <QDir>
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

CRun RunProgram(const QString &strProgram, const QStringList &args)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(strProgram, args);
    CRun run;
    if (!process.waitForFinished(120000))
        return run;
    run.nExit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.strOutput = QString::fromUtf8(process.readAll());
    return run;
}

} // namespace

TEST(Install, PutsEverythingInTheUsualPlacesAndValidates)
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
}
