// plugin and imgsize: the editor's plug-ins from the command line.
//
//   plugin list [FOLDER...]   one line per plug-in command the editor would
//                             offer, found in the folders given, else in the
//                             user's program folder and the installation's
//                             plug-in folder: the menu command id, the
//                             plug-in's path, the command's index in it, its
//                             type, its function, its menu text and its
//                             description, separated by tabs (UTF-8).
//   plugin run [--document PATH] FILE.wpi INDEX
//                             runs command INDEX of the plug-in on the
//                             selection read from standard input (Shift-JIS;
//                             empty for no selection) and writes what the
//                             selection becomes, as the editor would insert
//                             the results (without its tag-case setting).
//                             The plug-in is told PATH as the document's path.
//                             Status 0 when the plug-in gave its results, 1
//                             when it declined (the selection is written back
//                             unchanged) or failed, with the editor's message
//                             on standard error.
//   imgsize IMAGE             "WIDTH HEIGHT" of an image, through the
//                             image-map plug-in "WpImgMap.wpi".
#include "cli/cli.h"
#include "platform/userfolders.h"
#include "plugin/plugincommand.h"
#include "plugin/pluginlibrary.h"
#include "plugin/pluginregistry.h"
#include "text/codec.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>
#include <sstream>

namespace {

#ifndef WRENPAD_INSTALL_PLUGINDIR
#define WRENPAD_INSTALL_PLUGINDIR nullptr
#endif

std::vector<std::string> StandardFolders()
{
    std::vector<std::string> aFolders;
    const std::string strUser = UserProgramFolder();
    if (!strUser.empty())
        aFolders.push_back(strUser);
    const std::string strInstalled = InstalledPluginFolder(RunningProgramFolder(), WRENPAD_INSTALL_PLUGINDIR);
    if (!strInstalled.empty())
        aFolders.push_back(strInstalled);
    return aFolders;
}

// A plug-in's text for one tab-separated field: UTF-8, with line breaks and
// tabs as blanks.
std::string Field(std::string_view strSjis)
{
    std::string s = Cp932ToUtf8(strSjis);
    for (char &c : s)
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    return s;
}

int List(const CliArgs &args)
{
    const std::vector<std::string> aFolders = args.size() > 1 ? CliArgs(args.begin() + 1, args.end()) : StandardFolders();
    // Folders named are read; the standard ones are looked in where they exist.
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (!CliCheckInput(args[i], ECliInput::Folder))
            return CLI_FAILED;
    }
    CPluginRegistry registry;
    registry.Discover(aFolders);
    std::string strOut;
    for (int i = 0; i < registry.GetCount(); ++i) {
        const CPluginRow &row = *registry.GetRow(i);
        strOut += std::to_string(PLUGIN_COMMAND_FIRST + i) + "\t" + FindPluginFile(aFolders, row.strFile) + "\t"
                  + std::to_string(row.nIndex) + "\t" + std::to_string(row.nType) + "\t" + Field(row.strFunction)
                  + "\t" + Field(row.strMenuText) + "\t" + Field(row.strDescription) + "\n";
    }
    return CliWriteOut(strOut) ? 0 : CliFail(std::string("cannot write output: ") + std::strerror(errno));
}

bool ParseIndex(const std::string &strText, int &nIndex)
{
    if (strText.empty() || strText.size() > 9 || strText.find_first_not_of("0123456789") != std::string::npos)
        return false;
    nIndex = std::atoi(strText.c_str());
    return true;
}

int Run(const CliArgs &args)
{
    std::string strDocument;
    std::size_t i = 1;
    if (args.size() > 2 && args[1] == "--document") {
        strDocument = args[2];
        i = 3;
    }
    int nIndex = 0;
    if (args.size() != i + 2 || !ParseIndex(args[i + 1], nIndex))
        return CliUsage("plugin");
    // A name without a folder means the current folder, not the loader's search.
    std::string strPath = args[i];
    if (strPath.find('/') == std::string::npos)
        strPath = "./" + strPath;
    if (!CliCheckInput(args[i]))
        return CLI_FAILED;

    const std::string strSelection(std::istreambuf_iterator<char>(std::cin), {});
    if (std::cin.bad())
        return CliFail("cannot read the selection from standard input");

    CPluginLibrary probe(strPath);
    if (!probe.IsLoaded())
        return CliFail(PluginRunMessage(PLUGIN_RUN_INIT_FAILED));
    probe.Unload();
    const CPluginRow *pRow = nullptr;
    const std::vector<CPluginRow> aRows = CPluginRegistry::QueryPlugin(strPath);
    for (const CPluginRow &row : aRows)
        if (row.nIndex == nIndex)
            pRow = &row;
    if (!pRow)
        return CliFail(args[i] + " has no command " + args[i + 1]);

    CPluginResults results;
    const EPluginRunResult eResult =
        RunPluginCommandAt(strPath, *pRow, strDocument, strSelection.empty() ? nullptr : &strSelection, results);
    switch (eResult) {
    case PLUGIN_RUN_OK:
        return CliWriteOut(ApplyPluginResults(pRow->nType, strSelection, results))
                   ? 0
                   : CliFail(std::string("cannot write output: ") + std::strerror(errno));
    case PLUGIN_RUN_DECLINED:
    case PLUGIN_RUN_NO_COMMAND:
        // The selection stays as it was, and a pipe goes on with it.
        if (!CliWriteOut(strSelection))
            return CliFail("cannot write output");
        return CliFail("the plug-in inserted nothing");
    default:
        return CliFail(PluginRunMessage(eResult));
    }
}

int Plugin(const CliArgs &args)
{
    if (!args.empty() && args[0] == "list")
        return List(args);
    if (!args.empty() && args[0] == "run")
        return Run(args);
    return CliUsage("plugin");
}

int ImageSize(const CliArgs &args)
{
    if (args.size() != 1)
        return CliUsage("imgsize");
    const std::string &strImage = args[0];
    if (!CliCheckInput(strImage))
        return CLI_FAILED;
    int nWidth = 0;
    int nHeight = 0;
    switch (GetImageSizeThroughPlugin(StandardFolders(), strImage, nWidth, nHeight)) {
    case IMAGEMAP_OK:
        break;
    case IMAGEMAP_LOAD_FAILED:
        return CliFail("WpImgMapプラグインのロードに失敗しました。");
    case IMAGEMAP_NO_ENTRY:
        return CliFail("WpImgMapプラグインのアクセスに失敗しました。");
    default:
        return CliFail(strImage + ": no image size found (PNG, GIF, JPEG, BMP and WebP are known)");
    }
    return CliWriteOut(std::to_string(nWidth) + " " + std::to_string(nHeight) + "\n")
               ? 0
               : CliFail(std::string("cannot write output: ") + std::strerror(errno));
}

const CCliRegistrar regPlugin("plugin", "list [FOLDER...] | run [--document PATH] FILE.wpi INDEX", Plugin);
const CCliRegistrar regImageSize("imgsize", "IMAGE", ImageSize);

} // namespace
