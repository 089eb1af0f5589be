#include "plugin/ui/appplugins.h"

#include "platform/ui/programfolder.h"
#include "plugin/pluginregistry.h"

#include <QStringList>

CPluginRegistry &AppPluginRegistry()
{
    static CPluginRegistry registry;
    return registry;
}

std::vector<std::string> AppPluginFolders()
{
    std::vector<std::string> aFolders;
    for (const QString &strFolder : PluginFolders())
        aFolders.push_back(strFolder.toStdString());
    return aFolders;
}
