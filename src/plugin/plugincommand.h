// Running one plug-in command: load its plug-in, tell it the document, call
// the command and collect its results; and where the results go by the
// command's type. The plug-in is unloaded before the call returns, whatever
// happened. Inserting the results is the caller's: the editing view, or
// wrenpad-tool with the selection on its standard input.
#pragma once

#include "plugin/pluginregistry.h"

#include <string>
#include <string_view>
#include <vector>

enum EPluginRunResult
{
    PLUGIN_RUN_OK,            // the results are there to insert
    PLUGIN_RUN_NO_COMMAND,    // the row names no file or no function
    PLUGIN_RUN_INIT_FAILED,   // the plug-in or one of its fixed exports is missing
    PLUGIN_RUN_NO_FUNCTION,   // the command's function is missing
    PLUGIN_RUN_NO_SELECTION,  // a command on the selection, with nothing selected
    PLUGIN_RUN_DECLINED,      // the command or a result call gave 0 or less
};

struct CPluginResults
{
    std::string strFirst;
    std::string strSecond;  // commands of type WPPLUGIN_TYPE_WRAP only
};

// Runs a row's command from the plug-in at strPath (a path with a folder).
// pSelection is the selected text, null when nothing is selected; a command
// on the selection is not called without one. strDocumentPath is what the
// plug-in is told of the active document ("" for an unnamed one).
EPluginRunResult RunPluginCommandAt(const std::string &strPath, const CPluginRow &row,
                                    const std::string &strDocumentPath, const std::string *pSelection,
                                    CPluginResults &results);

// The same with the plug-in looked for by the row's file name in the folders.
EPluginRunResult RunPluginCommand(const std::vector<std::string> &aFolders, const CPluginRow &row,
                                  const std::string &strDocumentPath, const std::string *pSelection,
                                  CPluginResults &results);

// The message the editor shows for a result, UTF-8; empty for the results
// that end the command without a word.
const char *PluginRunMessage(EPluginRunResult eResult);

enum EPluginInsertion
{
    PLUGIN_INSERT_WRAP,     // first before the selection, second after it
    PLUGIN_INSERT_BEFORE,   // first before the selection
    PLUGIN_INSERT_AFTER,    // first after the selection
    PLUGIN_INSERT_REPLACE,  // first in place of the selection
};

EPluginInsertion PluginInsertionOf(int nType);

// What the selection becomes once the results are inserted (the tag case
// of the editor's settings aside).
std::string ApplyPluginResults(int nType, std::string_view strSelection, const CPluginResults &results);
