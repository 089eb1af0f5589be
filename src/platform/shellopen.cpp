#include "platform/shellopen.h"

#include <QDesktopServices>
#include <QUrl>

namespace {

std::function<bool(const std::string &)> &Hook()
{
    static std::function<bool(const std::string &)> hook;
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
