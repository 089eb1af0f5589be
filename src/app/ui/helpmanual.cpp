#include "app/ui/helpmanual.h"

#include "html/manualpages.h"
#include "platform/ui/cmdtarget.h"
#include "res/commands.h"
#include "res/commandtable.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QWidget>

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <typeinfo>

namespace {

std::map<QString, std::map<std::string, std::string>> &AnchorCache()
{
    static std::map<QString, std::map<std::string, std::string>> cache;
    return cache;
}

const std::map<std::string, std::string> &AnchorsOf(const QString &strFolder)
{
    auto it = AnchorCache().find(strFolder);
    if (it == AnchorCache().end())
        it = AnchorCache().emplace(strFolder, ReadManualAnchors(strFolder.toStdString())).first;
    return it->second;
}

void AddAnchor(std::vector<std::string> &aAnchors, std::string strAnchor)
{
    if (!strAnchor.empty() && std::find(aAnchors.begin(), aAnchors.end(), strAnchor) == aAnchors.end())
        aAnchors.push_back(std::move(strAnchor));
}

bool IsHelpCommand(int nID)
{
    return nID == ID_HELP || nID == ID_HELP_FINDER;
}

QUrl PageUrl(const QString &strFolder, const std::string &strPage, const std::string &strAnchor)
{
    QUrl url = QUrl::fromLocalFile(strFolder + QLatin1Char('/') + QString::fromStdString(strPage));
    if (!strAnchor.empty())
        url.setFragment(QString::fromStdString(strAnchor));
    return url;
}

} // namespace

std::string CommandHelpAnchor(int nID)
{
    const CCommandInfo *pInfo = FindCommandInfo(nID);
    return pInfo && pInfo->pszName ? std::string(pInfo->pszName) : std::string();
}

std::string WidgetHelpAnchor(const QWidget *pWidget)
{
    if (!pWidget)
        return std::string();
    const char *pszMangled = typeid(*pWidget).name();
    int nStatus = 0;
    std::unique_ptr<char, decltype(&std::free)> pName(abi::__cxa_demangle(pszMangled, nullptr, nullptr, &nStatus),
                                                      &std::free);
    return "dlg-" + std::string(nStatus == 0 && pName ? pName.get() : pszMangled);
}

CHelpTopic CurrentHelpTopic()
{
    CHelpTopic topic;
    topic.strPage = HELP_VIEW_PAGE;
    QWidget *pPopup = QApplication::activePopupWidget();
    if (auto *pMenu = qobject_cast<QMenu *>(pPopup)) {
        const QAction *pAction = pMenu->activeAction();
        if (pAction && !pAction->menu() && !pAction->isSeparator())
            AddAnchor(topic.aAnchors, CommandHelpAnchor(pAction->data().toInt()));
    }
    // From the focus outwards, then from each window to the one it belongs to.
    QWidget *pWidget = QApplication::focusWidget();
    if (!pWidget)
        pWidget = QApplication::activeModalWidget();
    if (!pWidget)
        pWidget = QApplication::activeWindow();
    for (; pWidget; pWidget = pWidget->parentWidget())
        AddAnchor(topic.aAnchors, WidgetHelpAnchor(pWidget));
    const std::vector<int> &aRunning = RunningCommands();
    for (auto it = aRunning.rbegin(); it != aRunning.rend(); ++it) {
        if (!IsHelpCommand(*it))
            AddAnchor(topic.aAnchors, CommandHelpAnchor(*it));
    }
    return topic;
}

QUrl ResolveHelpTopic(const QString &strManualFolder, const CHelpTopic &topic)
{
    if (strManualFolder.isEmpty() || !QFileInfo(strManualFolder + QStringLiteral("/index.html")).isFile())
        return QUrl();
    const std::map<std::string, std::string> &anchors = AnchorsOf(strManualFolder);
    for (const std::string &strAnchor : topic.aAnchors) {
        if (auto it = anchors.find(strAnchor); it != anchors.end())
            return PageUrl(strManualFolder, it->second, strAnchor);
    }
    if (!topic.strPage.empty()
        && QFileInfo(strManualFolder + QLatin1Char('/') + QString::fromStdString(topic.strPage)).isFile())
        return PageUrl(strManualFolder, topic.strPage, std::string());
    return PageUrl(strManualFolder, HELP_CONTENTS_PAGE, std::string());
}

void ForgetManualAnchors()
{
    AnchorCache().clear();
}
