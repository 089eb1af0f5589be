#include "syntax/keywords.h"

#include "syntax/parse.h"

#include <string>
#include <vector>

namespace {

inline unsigned char SameByte(unsigned char c)
{
    return c;
}

inline unsigned char ToUpperAscii(unsigned char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - ('a' - 'A')) : c;
}

// Whether pszEntry is exactly the nLength bytes of the word, each word byte
// passed through fold first. The entry's NUL ends the comparison, so neither
// side is read past its end even when the word holds a NUL byte.
template <typename Fold>
bool EntryEquals(const char *pszEntry, const unsigned char *pWord, int nLength, Fold fold)
{
    const auto *pEntry = reinterpret_cast<const unsigned char *>(pszEntry);
    for (int i = 0; i < nLength; ++i) {
        if (pEntry[i] == 0 || fold(pEntry[i]) != fold(pWord[i]))
            return false;
    }
    return pEntry[nLength] == 0;
}

template <typename Fold>
bool IsInList(const char *const *ppszList, const char *pszWord, int nLength, Fold fold)
{
    if (ppszList == nullptr || pszWord == nullptr || nLength <= 0)
        return false;
    const auto *pWord = reinterpret_cast<const unsigned char *>(pszWord);
    const unsigned char cFirst = fold(pWord[0]);
    for (; *ppszList != nullptr; ++ppszList) {
        // Most entries differ in the first byte; test it before the rest.
        if (fold(static_cast<unsigned char>(**ppszList)) == cFirst
            && EntryEquals(*ppszList, pWord, nLength, fold))
            return true;
    }
    return false;
}

// A list indexed by its entries' first byte, for the lookups of the parse
// routines, which run once per word of every line drawn. Built once from the
// list itself, so it matches exactly what the linear scan matches.
class CKeywordIndex
{
public:
    CKeywordIndex(const char *const *ppszList, bool bMatchCase) : m_bMatchCase(bMatchCase)
    {
        for (; *ppszList != nullptr; ++ppszList) {
            const auto c = static_cast<unsigned char>(**ppszList);
            m_aBuckets[Fold(c)].push_back(
                {*ppszList, static_cast<int>(std::char_traits<char>::length(*ppszList))});
        }
    }

    bool Contains(const char *pszWord, int nLength) const
    {
        if (pszWord == nullptr || nLength <= 0)
            return false;
        const auto *pWord = reinterpret_cast<const unsigned char *>(pszWord);
        for (const CEntry &entry : m_aBuckets[Fold(pWord[0])]) {
            if (entry.nLength != nLength)
                continue;
            if (m_bMatchCase ? EntryEquals(entry.pszText, pWord, nLength, SameByte)
                             : EntryEquals(entry.pszText, pWord, nLength, ToUpperAscii))
                return true;
        }
        return false;
    }

private:
    struct CEntry
    {
        const char *pszText;
        int nLength;
    };

    unsigned char Fold(unsigned char c) const { return m_bMatchCase ? c : ToUpperAscii(c); }

    bool m_bMatchCase;
    std::vector<CEntry> m_aBuckets[256];
};

} // namespace

bool IsKeywordInList(const char *const *ppszList, const char *pszWord, int nLength,
                     bool bMatchCase)
{
    if (bMatchCase)
        return IsInList(ppszList, pszWord, nLength, SameByte);
    return IsInList(ppszList, pszWord, nLength, ToUpperAscii);
}

int KeywordListSize(const char *const *ppszList)
{
    int n = 0;
    while (ppszList[n] != nullptr)
        ++n;
    return n;
}

bool IsCppKeyword(const char *pszWord, int nLength)
{
    static const CKeywordIndex s_index(g_apszCppKeywords, true);
    return s_index.Contains(pszWord, nLength);
}

bool IsCppKeyword2(const char *pszWord, int nLength)
{
    static const CKeywordIndex s_index(g_apszCppKeywords2, true);
    return s_index.Contains(pszWord, nLength);
}

bool IsVBKeyword(const char *pszWord, int nLength)
{
    static const CKeywordIndex s_index(g_apszVBKeywords, false);
    return s_index.Contains(pszWord, nLength);
}

bool IsPerlKeyword(const char *pszWord, int nLength)
{
    static const CKeywordIndex s_index(g_apszPerlKeywords, true);
    return s_index.Contains(pszWord, nLength);
}

bool IsPascalKeyword(const char *pszWord, int nLength)
{
    static const CKeywordIndex s_index(g_apszPascalKeywords, false);
    return s_index.Contains(pszWord, nLength);
}

bool IsHtmlTagName(const char *pszWord, int nLength)
{
    static const CKeywordIndex s_index(g_apszHtmlTagNames, false);
    return s_index.Contains(pszWord, nLength);
}

bool IsHtmlAttributeName(const char *pszWord, int nLength)
{
    static const CKeywordIndex s_index(g_apszHtmlAttributeNames, false);
    return s_index.Contains(pszWord, nLength);
}

const char *const g_apszCppKeywords[] = {
    "__asm", "enum", "__multiple_inheritance", "template", "auto", "__except",
    "__single_inheritance", "this", "__based", "explicit", "__virtual_inheritance", "thread",
    "bool", "extern", "mutable", "throw", "break", "false", "naked", "true", "case",
    "__fastcall", "namespace", "try", "catch", "__finally", "new", "__try", "__cdecl", "float",
    "operator", "typedef", "char", "for", "private", "typeid", "class", "friend", "protected",
    "typename", "const", "goto", "public", "union", "const_cast", "if", "register", "unsigned",
    "continue", "inline", "reinterpret_cast", "using", "__declspec", "__inline", "return",
    "uuid", "default", "int", "short", "__uuidof", "delete", "__int8", "signed", "virtual",
    "dllexport", "__int16", "sizeof", "void", "dllimport", "__int32", "static", "volatile",
    "do", "__int64", "static_cast", "wmain", "double", "__leave", "__stdcall", "while",
    "dynamic_cast", "long", "struct", "xalloc", "else", "main", "switch", "interface",
    "persistent", "_persistent", "transient", "depend", "ondemand", "transient", "cset",
    "useindex", "indexdef", nullptr,
};

const char *const g_apszCppKeywords2[] = {
    "LPSTR", "LPCSTR", "LPWSTR", "LPCWSTR", "LPTSTR", "LPCTSTR", "CHAR", "WCHAR", "TCHAR",
    "BYTE", "BOOL", "TRUE", "FALSE", "INT", "UINT", "WORD", "DWORD", "WPARAM", "LPARAM",
    "LRESULT", "HBRUSH", "HDC", "HFONT", "HICON", "HKEY", "HMENU", "HPALETTE", "HPEN", "HRGN",
    "HTREEITEM", "HWND", "VOID", "HCURSOR", "HBITMAP", "BSTR", "COLORREF", "LONG", "LPVOID",
    "WNDPROC", "HANDLE", nullptr,
};

const char *const g_apszVBKeywords[] = {
    "Until", "If", "Function", "Else", "End", "For", "Next", "While", "Wend", "Loop", "To",
    "Step", "Next", "Do", "Return", "GoTo", "Exit", "Then", "On", "Not", "Switch", "IIf",
    "Choose", "Val", "VarType", "While", "Wend", "Dim", "As", "Date", "Double", "Function",
    "Error", "Sub", "With", "Type", "Resume", "SMDoMenu", "GetAttrType", "GetAttrName",
    "GetAttrValString", "GetAttrValFloat", "GetAttrValInt", "GetAttrValBool",
    "GetAttrValEnumInt", "GetAttrValEnumString", "GetClassId", "GetGeoType", "SetAttrValString",
    "SetAttrValInt", "SetAttrValFloat", "SetAttrValBool", "SetAttrValEnumString",
    "SetAttrValEnumInt", "CreateVerifyItem", "VerifyCardinalities", "Abs", "AppActivate", "Asc",
    "Atn", "Beep", "Call", "CDbl", "ChDir", "ChDrive", "CheckBox", "Chr", "CInt", "CLng",
    "Close", "Const", "Cos", "CreateObject", "CSng", "CStr", "CVar", "CurDir", "Declare",
    "Dialog", "Dir", "DlgEnable", "DlgText", "DlgVisible", "EOF", "Erase", "Exp", "FileCopy",
    "FileLen", "Fix", "Format", "GetObject", "Global", "GoSub", "Hex", "Hour", "Input",
    "InputBox", "InStr", "Int", "IsDate", "IsEmpty", "IsNull", "IsNumeric", "Kill", "LBound",
    "LCase", "LCase$", "Left", "Left$", "Len", "Let", "Line", "Input#", "Log", "Long", "Mid",
    "Minute", "MkDir", "Month", "MsgBox", "Name", "Now", "Oct", "Open", "Option", "Base",
    "Print", "Print", "Right", "RmDir", "Rnd", "Second", "Seek", "SendKeys", "Set", "Shell",
    "Sin", "Space", "Sqr", "Static", "Stop", "Str", "StrComp", "String", "StringFunction",
    "Tan", "Text", "TextBox", "Time", "TimeSerial", "TimeValue", "Trim", "LTrim", "RTrim",
    "UBound", "UCase", "Write", "Year", "Month", "Day", "Private", "Public", "ReDim", "Integer",
    "True", "False", "Nothing", "ByVal", "Lib", "ElseIf", "Mod", "ByRef", "Select", "Case",
    "Single", "Boolean", "Or", "Xor", "Imp", "Eqv", "And", "Property", "Byte", "Currency",
    "Variant", "New", "Each", nullptr,
};

const char *const g_apszPerlKeywords[] = {
    "for", "if", "while", "foreach", "else", "elsif", "substr", "unless", "chop", "chomp",
    "chr", "crypt", "hex", "index", "lc", "length", "pack", "reverse", "rindex", "sprintf",
    "split", "study", "abs", "atan2", "cos", "exp", "hex", "int", "log", "rand", "sin", "sqrt",
    "srand", "pop", "push", "shift", "splice", "unshift", "grep", "join", "map", "sort",
    "unpack", "delete", "each", "exists", "keys", "values", "close", "binmode", "closedir",
    "die", "eof", "fileno", "flock", "format", "getc", "print", "printf", "read", "readdir",
    "seek", "seekdir", "select", "syscall", "sysread", "tell", "telldir", "write", "chdir",
    "chmod", "chroor", "glob", "ioctl", "link", "lstat", "mkdir", "open", "opendir", "readlink",
    "rename", "rmdir", "stat", "symlink", "sysopen", "umask", "unlink", "utime", "do", "dump",
    "eval", "exit", "goto", "last", "next", "redo", "return", "sub", "import", "local", "my",
    "package", "use", "defined", "scalar", "undef", "fork", "kikk", "pipe", "sleep", "times",
    "no", "require", "tie", "tied", "untie", "accept", "bind", "connect", "getsockname",
    "getsockopt", "listen", "send", "setsockopt", "shutdown", "socket", "socketpair", "gmtime",
    "localtiime", "time", nullptr,
};

const char *const g_apszPascalKeywords[] = {
    "program", "const", "type", "var", "begin", "end", "array", "set", "record", "if", "then",
    "else", "while", "for", "to", "downto", "do", "with", "repeat", "until", "case", "of",
    "goto", "exit", "label", "procedure", "function", "nil", "file", "and", "or", "not", "xor",
    "div", "mod", "unit", "uses", "implementation", "interface", "external", "asm", "inline",
    "object", "constructor", "destructor", "virtual", "far", "assembler", "near", "inherited",
    "try", "except", "finally", "string", "message", "initialization", "finalization",
    "dynamic", "override", "private", "protected", "public", "class", "packed", "property",
    "read", "write", "default", "nodefault", "stdcall", "raise", "out", "is", "as", "in", nullptr,
};

const char *const g_apszHtmlTagNames[] = {
    "HTML", "BODY", "TABLE", "A", "TR", "TD", "FONT", "B", "I", "U", "HR", "BR", "P", "CENTER",
    "SCRIPT", "NOSCRIPT", "TT", "PRE", "LAYER", "HEAD", "TITLE", "META", "BASEFONT", "IMG",
    "DIV", "OL", "DL", "UL", "FORM", "INPUT", "TEXTAREA", "S", "BLOCKQUOTE", "ADDRESS", "BASE",
    "BIG", "SMALL", "BLINK", "MARQUEE", "EM", "STRONG", "NOBR", "CAPTION", "LI", "BGSOUND",
    "EMBED", "NOEMBED", "OBJECT", "APPLET", "PARAM", "SELECT", "OPTION", "FRAMESET", "FRAME",
    "NOFRAME", "DOCTYPE", "STYLE", "MAP", "AREA", "CITE", "CODE", "DD", "DIR", "DT", "ISINDEX",
    "SUP", "SUB", "TH", "WBR", "H1", "H2", "H3", "H4", "H5", "H6", nullptr,
};

const char *const g_apszHtmlAttributeNames[] = {
    "BGCOLOR", "BORDER", "TEXT", "LINK", "ALINK", "VLINK", "HREF", "SRC", "ALIGN", "WIDTH",
    "HEIGHT", "ALT", "TARGET", "CELLPADDING", "VALIGN", "SIZE", "COLOR", "NAME", "TARGET",
    "CELLPADDING", "BACKGROUND", "FACE", "CELLSPACING", "COLSPAN", "ROWSPAN", "VSPACE",
    "HSPACE", "LANGUAGE", "TYPE", "SHAPE", "COODS", "USEMAP", "ACTION", "VALUE", "METHOD",
    "SELECTED", "NOSHADE", "MAXLENGTH", "MULTIPLE", "ENCTYPE", "WRAP", "COORDS", nullptr,
};
