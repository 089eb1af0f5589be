// The plug-ins of this process: the commands found once when the main window
// restores its bars, and where the plug-ins are looked for.
#pragma once

#include <string>
#include <vector>

class CPluginRegistry;

// The one registry, empty until the main window fills it.
CPluginRegistry &AppPluginRegistry();

// PluginFolders() as file-system paths.
std::vector<std::string> AppPluginFolders();
