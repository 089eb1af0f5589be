#include "templates/templatefiles.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

bool IsValidTemplateName(std::string_view strName)
{
    return !strName.empty() && strName != "." && strName != ".." && strName.find('/') == std::string_view::npos
           && strName.find('\0') == std::string_view::npos;
}

std::vector<std::string> ListTemplateFiles(const std::string &strFolder)
{
    namespace fs = std::filesystem;
    std::vector<std::string> aNames;
    std::error_code ec;
    fs::directory_iterator it(strFolder, ec);
    if (ec)
        return aNames;
    for (const fs::directory_entry &entry : it) {
        std::string strName = entry.path().filename().string();
        // Hidden files are the file manager's and the editor's own (a folder's
        // settings, a save in progress), never templates the user made.
        if (strName.empty() || strName.front() == '.')
            continue;
        std::error_code ecEntry;
        if (entry.is_regular_file(ecEntry))
            aNames.push_back(std::move(strName));
    }
    std::sort(aNames.begin(), aNames.end());
    return aNames;
}
