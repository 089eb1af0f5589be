// The editor built beside wrenpad-tool, run as a process of its own.
#pragma once

#include <QFileInfo>
#include <QProcess>
#include <QStringList>

struct CEditorRun
{
    int nExit = -1;  // -1: did not end normally in time
    QString strOut;
    QString strErr;
};

inline QString EditorPath()
{
    return QFileInfo(QStringLiteral(WP_TOOL_PATH)).absolutePath() + QStringLiteral("/wrenpad");
}

inline CEditorRun RunEditor(const QProcessEnvironment &env, const QStringList &args, int nTimeoutMs = 30000)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(EditorPath(), args);
    CEditorRun run;
    if (process.waitForFinished(nTimeoutMs) && process.exitStatus() == QProcess::NormalExit)
        run.nExit = process.exitCode();
    run.strOut = QString::fromUtf8(process.readAllStandardOutput());
    run.strErr = QString::fromUtf8(process.readAllStandardError());
    return run;
}
