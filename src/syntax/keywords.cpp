#include "syntax/keywords.h"

#include "syntax/parse.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>
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

// The lookups of the parse routines, which run once per word of every line
// drawn. A mask per first byte (folded) says which entry lengths begin with
// it, which turns most words that are no keyword away at once; the others are
// compared with the entries of their slot, chosen by length and first and last
// bytes, mostly one. Several lists share one index: each entry holds a bit
// for every list that has it. Built once from the lists themselves, so it
// matches exactly what the linear scan matches.
template <bool bMatchCase>
class CKeywordIndex
{
public:
    explicit CKeywordIndex(std::initializer_list<const char *const *> lists)
    {
        struct CItem
        {
            std::string strText;
            unsigned nLists;
            unsigned nSlot;
        };
        std::vector<CItem> aItems;
        unsigned nList = 1;
        for (const char *const *ppszList : lists) {
            for (; *ppszList != nullptr; ++ppszList) {
                std::string strText(*ppszList);
                for (char &c : strText)
                    c = static_cast<char>(Fold(static_cast<unsigned char>(c)));
                auto it = std::find_if(aItems.begin(), aItems.end(),
                                       [&](const CItem &item) { return item.strText == strText; });
                if (it != aItems.end()) {
                    it->nLists |= nList;
                } else if (!strText.empty()) {
                    const auto *p = reinterpret_cast<const unsigned char *>(strText.data());
                    const auto nLength = static_cast<int>(strText.size());
                    aItems.push_back({strText, nList, Slot(p[0], p[nLength - 1], nLength)});
                }
            }
            nList <<= 1;
        }
        std::stable_sort(aItems.begin(), aItems.end(),
                         [](const CItem &a, const CItem &b) { return a.nSlot < b.nSlot; });
        for (const CItem &item : aItems)
            m_strText += item.strText;
        std::size_t nOffset = 0;
        for (const CItem &item : aItems) {
            const auto nLength = static_cast<int>(item.strText.size());
            m_aEntries.push_back({reinterpret_cast<const unsigned char *>(m_strText.data()) + nOffset, nLength,
                                  item.nLists});
            nOffset += item.strText.size();
            m_nMaxLength = std::max(m_nMaxLength, nLength);
            m_anLengths[static_cast<unsigned char>(item.strText[0])] |= std::uint64_t(1) << (nLength & 63);
            ++m_anSlotStart[item.nSlot + 1];
        }
        for (unsigned nSlot = 0; nSlot < SLOT_COUNT; ++nSlot)
            m_anSlotStart[nSlot + 1] += m_anSlotStart[nSlot];
    }

    CKeywordIndex(const CKeywordIndex &) = delete;
    CKeywordIndex &operator=(const CKeywordIndex &) = delete;

    // The lists that hold the word, one bit each in the order given; 0 when none does.
    unsigned Find(const char *pszWord, int nLength) const
    {
        if (pszWord == nullptr || nLength <= 0 || nLength > m_nMaxLength)
            return 0;
        const auto *pWord = reinterpret_cast<const unsigned char *>(pszWord);
        const unsigned char cFirst = Fold(pWord[0]);
        if (!((m_anLengths[cFirst] >> (nLength & 63)) & 1))
            return 0;
        const unsigned nSlot = Slot(cFirst, Fold(pWord[nLength - 1]), nLength);
        for (int k = m_anSlotStart[nSlot]; k < m_anSlotStart[nSlot + 1]; ++k) {
            const CEntry &entry = m_aEntries[static_cast<std::size_t>(k)];
            if (entry.nLength == nLength && Equals(entry.pText, pWord, nLength))
                return entry.nLists;
        }
        return 0;
    }

private:
    struct CEntry
    {
        const unsigned char *pText;  // folded, not terminated
        int nLength;
        unsigned nLists;
    };

    static constexpr unsigned SLOT_COUNT = 1024;

    static unsigned Slot(unsigned char cFirst, unsigned char cLast, int nLength)
    {
        return (cFirst * 29u + cLast * 7u + static_cast<unsigned>(nLength) * 3u) % SLOT_COUNT;
    }

    static unsigned char Fold(unsigned char c) { return bMatchCase ? c : ToUpperAscii(c); }

    static bool Equals(const unsigned char *pEntry, const unsigned char *pWord, int nLength)
    {
        for (int i = 0; i < nLength; ++i) {
            if (pEntry[i] != Fold(pWord[i]))
                return false;
        }
        return true;
    }

    int m_nMaxLength = 0;
    std::uint64_t m_anLengths[256] = {};     // bit n: an entry of n bytes (modulo 64) begins with the byte
    int m_anSlotStart[SLOT_COUNT + 1] = {};  // the entries of slot s: [m_anSlotStart[s], m_anSlotStart[s + 1])
    std::vector<CEntry> m_aEntries;
    std::string m_strText;
};

const CKeywordIndex<true> &CppIndex()
{
    static const CKeywordIndex<true> s_index({g_apszCppKeywords, g_apszCppKeywords2});
    return s_index;
}

const CKeywordIndex<false> &HtmlIndex()
{
    static const CKeywordIndex<false> s_index({g_apszHtmlTagNames, g_apszHtmlAttributeNames});
    return s_index;
}

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
    return (CppIndex().Find(pszWord, nLength) & 1) != 0;
}

bool IsCppKeyword2(const char *pszWord, int nLength)
{
    return (CppIndex().Find(pszWord, nLength) & 2) != 0;
}

int CppKeywordColor(const char *pszWord, int nLength)
{
    const unsigned nLists = CppIndex().Find(pszWord, nLength);
    return (nLists & 1) ? COLORINDEX_KEYWORD : (nLists & 2) ? COLORINDEX_KEYWORD2 : 0;
}

int VBKeywordColor(const char *pszWord, int nLength)
{
    static const CKeywordIndex<false> s_index({g_apszVBKeywords});
    return s_index.Find(pszWord, nLength) != 0 ? COLORINDEX_KEYWORD : 0;
}

int PerlKeywordColor(const char *pszWord, int nLength)
{
    static const CKeywordIndex<true> s_index({g_apszPerlKeywords});
    return s_index.Find(pszWord, nLength) != 0 ? COLORINDEX_KEYWORD : 0;
}

int PascalKeywordColor(const char *pszWord, int nLength)
{
    static const CKeywordIndex<false> s_index({g_apszPascalKeywords});
    return s_index.Find(pszWord, nLength) != 0 ? COLORINDEX_KEYWORD : 0;
}

bool IsVBKeyword(const char *pszWord, int nLength)
{
    return VBKeywordColor(pszWord, nLength) != 0;
}

bool IsPerlKeyword(const char *pszWord, int nLength)
{
    return PerlKeywordColor(pszWord, nLength) != 0;
}

bool IsPascalKeyword(const char *pszWord, int nLength)
{
    return PascalKeywordColor(pszWord, nLength) != 0;
}

bool IsHtmlTagName(const char *pszWord, int nLength)
{
    return (HtmlIndex().Find(pszWord, nLength) & 1) != 0;
}

bool IsHtmlAttributeName(const char *pszWord, int nLength)
{
    return (HtmlIndex().Find(pszWord, nLength) & 2) != 0;
}

int HtmlNameColor(const char *pszWord, int nLength)
{
    const unsigned nLists = HtmlIndex().Find(pszWord, nLength);
    return (nLists & 1) ? COLORINDEX_TAG : (nLists & 2) ? COLORINDEX_TAGOPTION : 0;
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
