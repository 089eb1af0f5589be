#include "plugin/plugincommand.h"

#include "plugin/pluginlibrary.h"

#include <cstring>

namespace {

// No result a plug-in hands over may be longer than the largest document the
// editor opens; a larger length is taken for garbage, not for a request to
// allocate gigabytes.
constexpr int MAX_RESULT_LENGTH = 1 << 30;

struct CPluginExports
{
    WpSetDocumentPathFn fnSetDocumentPath = nullptr;
    WpQueryBufferSizeFn fnQueryBufferSize = nullptr;
    WpGetBufferFn fnGetBuffer = nullptr;
    WpQueryBufferSizeFn fnQueryBufferSize2 = nullptr;
    WpGetBufferFn fnGetBuffer2 = nullptr;

    bool Resolve(const CPluginLibrary &library)
    {
        fnSetDocumentPath = library.Entry<WpSetDocumentPathFn>("SetDocumentPath");
        fnQueryBufferSize = library.Entry<WpQueryBufferSizeFn>("QueryBufferSize");
        fnGetBuffer = library.Entry<WpGetBufferFn>("WpGetBuffer");
        fnQueryBufferSize2 = library.Entry<WpQueryBufferSizeFn>("QueryBufferSize2");
        fnGetBuffer2 = library.Entry<WpGetBufferFn>("WpGetBuffer2");
        return fnSetDocumentPath && fnQueryBufferSize && fnGetBuffer && fnQueryBufferSize2 && fnGetBuffer2;
    }
};

// Asks for one result: its length, then its bytes. False when either call
// declines.
bool FetchResult(WpQueryBufferSizeFn fnSize, WpGetBufferFn fnGet, std::string &strResult)
{
    const int nLength = fnSize();
    if (nLength <= 0 || nLength > MAX_RESULT_LENGTH)
        return false;
    std::vector<char> aBuffer(static_cast<std::size_t>(nLength) + 1, '\0');
    if (fnGet(aBuffer.data(), nLength + 1) <= 0)
        return false;
    // The length given first is the length of the result; what the plug-in
    // writes beyond it is not part of it.
    strResult.assign(aBuffer.data(), strnlen(aBuffer.data(), static_cast<std::size_t>(nLength)));
    return true;
}

} // namespace

EPluginRunResult RunPluginCommandAt(const std::string &strPath, const CPluginRow &row,
                                    const std::string &strDocumentPath, const std::string *pSelection,
                                    CPluginResults &results)
{
    results = CPluginResults();
    if (row.strFile.empty() || row.strFunction.empty())
        return PLUGIN_RUN_NO_COMMAND;
    CPluginLibrary library;
    if (strPath.empty() || !library.Load(strPath))
        return PLUGIN_RUN_INIT_FAILED;
    CPluginExports exports;
    if (!exports.Resolve(library))
        return PLUGIN_RUN_INIT_FAILED;
    exports.fnSetDocumentPath(strDocumentPath.c_str());
    void *pFunction = library.Symbol(row.strFunction.c_str());
    if (!pFunction)
        return PLUGIN_RUN_NO_FUNCTION;

    int nResult = 0;
    if (row.nType & WPPLUGIN_TYPE_SELECTION) {
        if (!pSelection || pSelection->empty())
            return PLUGIN_RUN_NO_SELECTION;
        // The plug-in may rewrite the text in place, so it gets a copy.
        std::vector<char> aText(pSelection->begin(), pSelection->end());
        aText.push_back('\0');
        nResult = reinterpret_cast<WpSelectionCommandFn>(pFunction)(aText.data());
    } else {
        nResult = reinterpret_cast<WpCommandFn>(pFunction)();
    }
    if (nResult <= 0)
        return PLUGIN_RUN_DECLINED;

    if (!FetchResult(exports.fnQueryBufferSize, exports.fnGetBuffer, results.strFirst))
        return PLUGIN_RUN_DECLINED;
    if (row.nType == WPPLUGIN_TYPE_WRAP
        && !FetchResult(exports.fnQueryBufferSize2, exports.fnGetBuffer2, results.strSecond))
        return PLUGIN_RUN_DECLINED;
    return PLUGIN_RUN_OK;
}

EPluginRunResult RunPluginCommand(const std::vector<std::string> &aFolders, const CPluginRow &row,
                                  const std::string &strDocumentPath, const std::string *pSelection,
                                  CPluginResults &results)
{
    if (row.strFile.empty() || row.strFunction.empty()) {
        results = CPluginResults();
        return PLUGIN_RUN_NO_COMMAND;
    }
    return RunPluginCommandAt(FindPluginFile(aFolders, row.strFile), row, strDocumentPath, pSelection, results);
}

const char *PluginRunMessage(EPluginRunResult eResult)
{
    switch (eResult) {
    case PLUGIN_RUN_INIT_FAILED:
        return "プラグインの初期化に失敗しました。";
    case PLUGIN_RUN_NO_FUNCTION:
        return "プラグインの実行に失敗しました。";
    case PLUGIN_RUN_NO_SELECTION:
        return "文字列が選択されてません。";
    default:
        return "";
    }
}

EPluginInsertion PluginInsertionOf(int nType)
{
    switch (nType) {
    case WPPLUGIN_TYPE_WRAP:
        return PLUGIN_INSERT_WRAP;
    case WPPLUGIN_TYPE_BEFORE:
        return PLUGIN_INSERT_BEFORE;
    case WPPLUGIN_TYPE_AFTER:
        return PLUGIN_INSERT_AFTER;
    default:
        return PLUGIN_INSERT_REPLACE;
    }
}

std::string ApplyPluginResults(int nType, std::string_view strSelection, const CPluginResults &results)
{
    std::string strText;
    switch (PluginInsertionOf(nType)) {
    case PLUGIN_INSERT_WRAP:
        strText.append(results.strFirst).append(strSelection).append(results.strSecond);
        break;
    case PLUGIN_INSERT_BEFORE:
        strText.append(results.strFirst).append(strSelection);
        break;
    case PLUGIN_INSERT_AFTER:
        strText.append(strSelection).append(results.strFirst);
        break;
    case PLUGIN_INSERT_REPLACE:
        strText = results.strFirst;
        break;
    }
    return strText;
}
