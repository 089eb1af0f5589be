#include "syntax/viewtype.h"

#include <algorithm>
#include <string>

namespace {

// Indexed by view type.
const ParseLineFunc s_apfnParse[VIEWTYPE_COUNT] = {
    ParseLineCpp,  ParseLineVB,   ParseLineHtml,   ParseLineHtmlSimple,
    ParseLinePlain, ParseLinePerl, ParseLinePascal, ParseLineStandard,
};

// Indexed by command id - VIEWTYPE_COMMAND_FIRST.
const int s_anCommandType[VIEWTYPE_COMMAND_LAST - VIEWTYPE_COMMAND_FIRST + 1] = {
    VIEWTYPE_STANDARD, VIEWTYPE_CPP,    VIEWTYPE_VB,       VIEWTYPE_HTML,     VIEWTYPE_HTML_SIMPLE,
    VIEWTYPE_PERL,     VIEWTYPE_PASCAL, VIEWTYPE_PLAIN,    VIEWTYPE_STANDARD, VIEWTYPE_STANDARD,
};

struct CExtensionType
{
    const char *pszExtension;
    int nViewType;
};

const CExtensionType s_aExtensions[] = {
    {"html", VIEWTYPE_HTML}, {"htm", VIEWTYPE_HTML},
    {"c", VIEWTYPE_CPP},     {"cpp", VIEWTYPE_CPP},   {"h", VIEWTYPE_CPP},   {"java", VIEWTYPE_CPP},
    {"rc", VIEWTYPE_CPP},    {"inl", VIEWTYPE_CPP},   {"js", VIEWTYPE_CPP},
    {"bas", VIEWTYPE_VB},    {"frm", VIEWTYPE_VB},    {"cls", VIEWTYPE_VB},  {"asp", VIEWTYPE_VB},
    {"pl", VIEWTYPE_PERL},   {"pm", VIEWTYPE_PERL},   {"cgi", VIEWTYPE_PERL},
    {"pas", VIEWTYPE_PASCAL},
};

} // namespace

ParseLineFunc ParseLineFuncOfViewType(int nViewType)
{
    if (nViewType < 0 || nViewType >= VIEWTYPE_COUNT)
        return nullptr;
    return s_apfnParse[nViewType];
}

std::uint32_t ParseLineByViewType(int nViewType, const CLineSource &lines, std::uint32_t dwCookie,
                                  int nLineIndex, ColorBlock *pBuf, int &nActualItems)
{
    const ParseLineFunc pfnParse = ParseLineFuncOfViewType(nViewType);
    if (pfnParse == nullptr)
        return 0;
    const std::uint32_t dwState = pfnParse(lines, dwCookie, nLineIndex, pBuf, nActualItems);
    return nViewType == VIEWTYPE_STANDARD ? 0 : dwState;
}

int ViewTypeFromCommand(int nCommandId)
{
    if (nCommandId < VIEWTYPE_COMMAND_FIRST || nCommandId > VIEWTYPE_COMMAND_LAST)
        return -1;
    return s_anCommandType[nCommandId - VIEWTYPE_COMMAND_FIRST];
}

int CommandFromViewType(int nViewType)
{
    if (nViewType < 0 || nViewType >= VIEWTYPE_COUNT)
        return 0;
    // The first id that selects the type; the unused ids 1708 and 1709 come last.
    for (int nId = VIEWTYPE_COMMAND_FIRST; nId <= VIEWTYPE_COMMAND_LAST; ++nId) {
        if (ViewTypeFromCommand(nId) == nViewType)
            return nId;
    }
    return 0;
}

bool IsViewTypeCommandChecked(int nCommandId, int nViewType)
{
    return nCommandId >= VIEWTYPE_COMMAND_FIRST && CommandFromViewType(nViewType) == nCommandId;
}

int ViewTypeFromPath(std::string_view strPath)
{
    const std::size_t nSlash = strPath.find_last_of("/\\");
    const std::size_t nNameStart = nSlash == std::string_view::npos ? 0 : nSlash + 1;
    const std::size_t nDot = strPath.rfind('.');
    if (nDot == std::string_view::npos || nDot < nNameStart)
        return VIEWTYPE_STANDARD;
    std::string strExt(strPath.substr(nDot + 1));
    std::transform(strExt.begin(), strExt.end(), strExt.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    });
    for (const CExtensionType &ext : s_aExtensions) {
        if (strExt == ext.pszExtension)
            return ext.nViewType;
    }
    return VIEWTYPE_STANDARD;
}

bool TextStartsAsHtml(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
        ++i;
    const auto startsWith = [&](std::string_view word) {
        if (text.size() - i < word.size())
            return false;
        for (std::size_t n = 0; n < word.size(); ++n) {
            char c = text[i + n];
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
            if (c != word[n])
                return false;
        }
        return true;
    };
    if (startsWith("<!doctype"))
        return true;
    if (!startsWith("<html"))
        return false;
    // "<html>", "<html lang=...>", but not "<htmlfoo>".
    const std::size_t nAfter = i + 5;
    if (nAfter == text.size())
        return true;
    const char c = text[nAfter];
    return c == '>' || c == '/' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

int ViewTypeFromText(std::string_view text)
{
    return TextStartsAsHtml(text) ? VIEWTYPE_HTML : VIEWTYPE_STANDARD;
}
