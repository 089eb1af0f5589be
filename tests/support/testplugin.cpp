// A plug-in for the tests, with one command for each way a command can go.
// Built three times: as it should be; without "WpGetBuffer2"
// (WP_TEST_NO_BUFFER2), which the editor must refuse for every command; and
// without "QueryPulginCount" (WP_TEST_NO_COUNT), which offers nothing.
//
// It counts the calls of its command functions and keeps the last selection
// and document path it was given; a test that holds the plug-in loaded itself
// reads them through the exports "WpTest...", since the editor unloads it
// after every command.
#include "wpplugin.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

int g_nCalls = 0;
std::string g_strSelection;
std::string g_strDocumentPath;
std::string g_strFirst;
std::string g_strSecond;
// How the result calls answer for the running command.
bool g_bNoFirstLength = false;
bool g_bFirstFails = false;
bool g_bUnterminated = false;

struct CTestCommand
{
    int nType;
    const char *pszFunction;
    const char *pszMenuText;
};

// Index 1 fails in QueryPulgin; index 7's function is not exported.
const CTestCommand COMMANDS[] = {
    {1, "TestUpper", "\x91\xe5\x95\xb6\x8e\x9a"},  // 大文字 in Shift-JIS
    {0, "TestNeverListed", "never"},
    {2, "TestWrap", "wrap"},
    {2, "TestWrapEmptySecond", "wrap, no second"},
    {4, "TestBefore", "before"},
    {6, "TestAfter", "after"},
    {0, "TestDecline", "decline"},
    {0, "TestMissing", "missing"},
    {0, "TestDocPath", "document path"},
    {0, "TestNoLength", "no length"},
    {0, "TestGetFails", "buffer fails"},
    {0, "TestUnterminated", "unterminated"},
    {3, "TestReplaceSelection", "replace selection"},
    // A menu text that fills its whole buffer, without a terminator.
    {0, "TestLongText", nullptr},
};

// Counts the call and keeps its texts; the result calls then answer as they
// should, or amiss as the flag given says.
int Result(const std::string &strFirst, const std::string &strSecond = std::string(), bool *pbAmiss = nullptr)
{
    ++g_nCalls;
    g_strFirst = strFirst;
    g_strSecond = strSecond;
    g_bNoFirstLength = g_bFirstFails = g_bUnterminated = false;
    if (pbAmiss)
        *pbAmiss = true;
    return 1;
}

} // namespace

#ifndef WP_TEST_NO_COUNT
WPPLUGIN_EXPORT int QueryPulginCount(void)
{
    return static_cast<int>(sizeof COMMANDS / sizeof COMMANDS[0]);
}
#endif

WPPLUGIN_EXPORT int QueryPulgin(int nIndex, int *pnType, char *pszFunction, char *pszMenuText, char *pszDescription)
{
    if (nIndex < 0 || nIndex >= static_cast<int>(sizeof COMMANDS / sizeof COMMANDS[0]) || nIndex == 1)
        return 0;
    const CTestCommand &command = COMMANDS[nIndex];
    *pnType = command.nType;
    std::strcpy(pszFunction, command.pszFunction);
    if (!command.pszMenuText) {
        std::memset(pszMenuText, 'M', WPPLUGIN_NAME_SIZE);
        std::memset(pszDescription, 'D', WPPLUGIN_DESCRIPTION_SIZE);
        return 1;
    }
    std::strcpy(pszMenuText, command.pszMenuText);
    std::strcpy(pszDescription, (std::string("about ") + command.pszFunction).c_str());
    return 1;
}

WPPLUGIN_EXPORT int SetDocumentPath(const char *pszPath)
{
    g_strDocumentPath = pszPath;
    return 1;
}

WPPLUGIN_EXPORT int TestUpper(char *pszSelection)
{
    g_strSelection = pszSelection;
    std::string strUpper = pszSelection;
    for (char &c : strUpper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    // The buffer is the plug-in's to change.
    std::memset(pszSelection, '#', std::strlen(pszSelection));
    return Result(strUpper);
}

// The commands that only hand back their texts (and make the result calls
// answer amiss, for the last three).
#define WP_TEST_RESULT_COMMAND(name, ...) \
    WPPLUGIN_EXPORT int name(void) { return Result(__VA_ARGS__); }
WP_TEST_RESULT_COMMAND(TestWrap, "<em>", "</em>")
WP_TEST_RESULT_COMMAND(TestWrapEmptySecond, "<x>")
WP_TEST_RESULT_COMMAND(TestBefore, "[")
WP_TEST_RESULT_COMMAND(TestAfter, "]")
WP_TEST_RESULT_COMMAND(TestDocPath, "doc=" + g_strDocumentPath)
WP_TEST_RESULT_COMMAND(TestLongText, "long")
WP_TEST_RESULT_COMMAND(TestNoLength, "unused", "", &g_bNoFirstLength)
WP_TEST_RESULT_COMMAND(TestGetFails, "unused", "", &g_bFirstFails)
WP_TEST_RESULT_COMMAND(TestUnterminated, "abc", "", &g_bUnterminated)

WPPLUGIN_EXPORT int TestDecline(void)
{
    ++g_nCalls;
    return 0;
}

WPPLUGIN_EXPORT int TestReplaceSelection(char *pszSelection)
{
    g_strSelection = pszSelection;
    return Result(std::string("R:") + pszSelection);
}

WPPLUGIN_EXPORT int QueryBufferSize(void)
{
    return g_bNoFirstLength ? 0 : static_cast<int>(g_strFirst.size());
}

WPPLUGIN_EXPORT int WpGetBuffer(char *pszBuffer, int nSize)
{
    if (g_bFirstFails)
        return 0;
    if (g_bUnterminated) {
        // Every byte it was given, and no terminator.
        std::memset(pszBuffer, 'z', static_cast<std::size_t>(nSize));
        return 1;
    }
    std::memcpy(pszBuffer, g_strFirst.c_str(), std::min<std::size_t>(g_strFirst.size() + 1, nSize));
    return 1;
}

WPPLUGIN_EXPORT int QueryBufferSize2(void)
{
    return static_cast<int>(g_strSecond.size());
}

#ifndef WP_TEST_NO_BUFFER2
WPPLUGIN_EXPORT int WpGetBuffer2(char *pszBuffer, int nSize)
{
    std::memcpy(pszBuffer, g_strSecond.c_str(), std::min<std::size_t>(g_strSecond.size() + 1, nSize));
    return 1;
}
#endif

// What the tests read back.
WPPLUGIN_EXPORT int WpTestCalls(void)
{
    return g_nCalls;
}

WPPLUGIN_EXPORT const char *WpTestSelection(void)
{
    return g_strSelection.c_str();
}
