#include "platform/ui/shellopen.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace {

std::function<bool(const std::string &)> &Hook()
{
    static std::function<bool(const std::string &)> hook;
    return hook;
}

using StartProgramHook = std::function<bool(const std::string &, const std::string &)>;

StartProgramHook &ProgramHook()
{
    static StartProgramHook hook;
    return hook;
}

} // namespace

bool ShellOpen(const std::string &strTarget)
{
    if (Hook())
        return Hook()(strTarget);
    const QString strText = QString::fromStdString(strTarget);
    const QUrl url = strText.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(strText) : QUrl(strText);
    return url.isValid() && QDesktopServices::openUrl(url);
}

void SetShellOpenHook(std::function<bool(const std::string &)> hook)
{
    Hook() = std::move(hook);
}

bool StartProgram(const std::string &strProgram, const std::string &strArgument)
{
    if (ProgramHook())
        return ProgramHook()(strProgram, strArgument);
    if (strProgram.empty())
        return false;
    return QProcess::startDetached(QString::fromStdString(strProgram), {QString::fromStdString(strArgument)});
}

void SetStartProgramHook(StartProgramHook hook)
{
    ProgramHook() = std::move(hook);
}
