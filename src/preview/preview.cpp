#include "preview/preview.h"

#include "res/commands.h"
#include "text/codec.h"
#include "text/doctext.h"
#include "text/filecode.h"
#include "text/kanji.h"
#include "text/nkf.h"
#include "text/utf8check.h"

#include <algorithm>
#include <cstddef>

namespace {

// How far into a page a <meta> declaration is looked for when the head does
// not end sooner. Browsers decide within the head; a head this long is rare.
constexpr std::size_t CHARSET_SCAN_LIMIT = 64 * 1024;

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

// Whether the text at nPos starts with the lower-case word, ignoring case.
bool StartsWithNoCase(std::string_view text, std::size_t nPos, std::string_view word)
{
    if (nPos + word.size() > text.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (LowerAscii(text[nPos + i]) != word[i])
            return false;
    return true;
}

std::string Lower(std::string_view text)
{
    std::string str(text);
    std::transform(str.begin(), str.end(), str.begin(), LowerAscii);
    return str;
}

// One start tag: where it begins and ends (just after '>') and its attributes.
struct CTag
{
    std::size_t nBegin = std::string_view::npos;
    std::size_t nEnd = std::string_view::npos;
    std::string_view attributes;  // between the name and '>'

    bool Found() const { return nBegin != std::string_view::npos; }
};

// The end of a comment that starts at nPos ("<!--"), just after "-->", or the
// end of the text.
std::size_t SkipComment(std::string_view text, std::size_t nPos)
{
    const std::size_t nClose = text.find("-->", nPos + 4);
    return nClose == std::string_view::npos ? text.size() : nClose + 3;
}

// The first start tag of the given (lower-case) name at or after nFrom,
// outside comments. A quoted '>' inside an attribute does not end the tag.
CTag FindTag(std::string_view text, std::string_view name, std::size_t nFrom = 0)
{
    CTag tag;
    std::size_t nPos = nFrom;
    while ((nPos = text.find('<', nPos)) != std::string_view::npos) {
        if (text.compare(nPos, 4, "<!--") == 0) {
            nPos = SkipComment(text, nPos);
            continue;
        }
        const std::size_t nName = nPos + 1;
        const std::size_t nAfter = nName + name.size();
        if (!StartsWithNoCase(text, nName, name)
            || (nAfter < text.size() && !IsBlank(text[nAfter]) && text[nAfter] != '>' && text[nAfter] != '/')) {
            ++nPos;
            continue;
        }
        char cQuote = 0;
        std::size_t i = nAfter;
        for (; i < text.size(); ++i) {
            const char c = text[i];
            if (cQuote) {
                if (c == cQuote)
                    cQuote = 0;
            } else if (c == '"' || c == '\'') {
                cQuote = c;
            } else if (c == '>') {
                break;
            }
        }
        tag.nBegin = nPos;
        tag.nEnd = i < text.size() ? i + 1 : text.size();
        tag.attributes = text.substr(nAfter, i - nAfter);
        return tag;
    }
    return tag;
}

// The value of an attribute (by lower-case name) of a tag's attribute text;
// bFound tells an empty value from a missing attribute.
std::string AttributeValue(std::string_view attributes, std::string_view name, bool *pbFound = nullptr)
{
    std::size_t i = 0;
    const std::size_t n = attributes.size();
    while (i < n) {
        while (i < n && (IsBlank(attributes[i]) || attributes[i] == '/'))
            ++i;
        const std::size_t nNameBegin = i;
        while (i < n && !IsBlank(attributes[i]) && attributes[i] != '=' && attributes[i] != '/')
            ++i;
        const std::string strName = Lower(attributes.substr(nNameBegin, i - nNameBegin));
        while (i < n && IsBlank(attributes[i]))
            ++i;
        std::string_view value;
        if (i < n && attributes[i] == '=') {
            ++i;
            while (i < n && IsBlank(attributes[i]))
                ++i;
            if (i < n && (attributes[i] == '"' || attributes[i] == '\'')) {
                const char cQuote = attributes[i++];
                const std::size_t nValue = i;
                while (i < n && attributes[i] != cQuote)
                    ++i;
                value = attributes.substr(nValue, i - nValue);
                if (i < n)
                    ++i;
            } else {
                const std::size_t nValue = i;
                while (i < n && !IsBlank(attributes[i]))
                    ++i;
                value = attributes.substr(nValue, i - nValue);
            }
        }
        if (!strName.empty() && strName == name) {
            if (pbFound)
                *pbFound = true;
            return std::string(value);
        }
        if (strName.empty() && i < n && attributes[i] == '=')
            ++i;  // a stray '=' without a name
    }
    if (pbFound)
        *pbFound = false;
    return std::string();
}

std::string Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}

// The charset of a Content-Type value ("text/html; charset=Shift_JIS").
std::string CharsetOfContentType(std::string_view content)
{
    const std::string strLower = Lower(content);
    const std::size_t nAt = strLower.find("charset");
    if (nAt == std::string::npos)
        return std::string();
    std::size_t i = nAt + 7;
    while (i < content.size() && IsBlank(content[i]))
        ++i;
    if (i >= content.size() || content[i] != '=')
        return std::string();
    ++i;
    while (i < content.size() && IsBlank(content[i]))
        ++i;
    if (i < content.size() && (content[i] == '"' || content[i] == '\''))
        ++i;
    const std::size_t nBegin = i;
    while (i < content.size() && !IsBlank(content[i]) && content[i] != ';' && content[i] != '"' && content[i] != '\'')
        ++i;
    return std::string(content.substr(nBegin, i - nBegin));
}

// A charset name folded for comparison: lower case, without '-' and '_'.
std::string FoldCharsetName(std::string_view name)
{
    std::string str;
    for (char c : name)
        if (c != '-' && c != '_')
            str += LowerAscii(c);
    return str;
}

// The charset a <meta> element of the head declares, or empty.
std::string DeclaredMetaCharset(std::string_view page)
{
    std::string_view head = page.substr(0, std::min(page.size(), CHARSET_SCAN_LIMIT));
    std::size_t nPos = 0;
    for (;;) {
        const CTag meta = FindTag(head, "meta", nPos);
        if (!meta.Found())
            return std::string();
        // A declaration after the head has begun the body is not one.
        const CTag body = FindTag(head.substr(0, meta.nBegin), "body");
        if (body.Found())
            return std::string();
        bool bFound = false;
        std::string strCharset = Trim(AttributeValue(meta.attributes, "charset", &bFound));
        if (bFound && !strCharset.empty())
            return strCharset;
        if (Lower(Trim(AttributeValue(meta.attributes, "http-equiv"))) == "content-type") {
            strCharset = CharsetOfContentType(AttributeValue(meta.attributes, "content"));
            if (!strCharset.empty())
                return strCharset;
        }
        nPos = meta.nEnd;
    }
}

} // namespace

int PreviewTargetOfCommand(int nID)
{
    if (nID >= ID_WEB_PREVIEW_BAR && nID <= ID_WEB_PREVIEW_BROWSER4)
        return nID - ID_WEB_PREVIEW_BAR;
    return -1;
}

int EffectivePreviewTarget(int nTarget)
{
    switch (nTarget) {
    case PREVIEW_TARGET_BAR:
    case PREVIEW_TARGET_BROWSER2:
    case PREVIEW_TARGET_BROWSER3:
    case PREVIEW_TARGET_BROWSER4:
        return nTarget;
    default:
        return PREVIEW_TARGET_SHELL;
    }
}

EPreviewSource DecidePreviewSource(bool bHasPath, bool bModified, bool bAutoTempo)
{
    if (bHasPath && !bModified)
        return PREVIEW_OWN_FILE;
    if (bAutoTempo)
        return PREVIEW_TEMP_COPY;
    return bHasPath ? PREVIEW_ASK_MODIFIED : PREVIEW_ASK_UNTITLED;
}

std::string GetFileTitlePart(std::string_view strPath)
{
    const std::size_t nSlash = strPath.find_last_of("/\\");
    if (nSlash == std::string_view::npos)
        return std::string();
    return std::string(strPath.substr(nSlash + 1));
}

std::string BrowserMenuText(int nTarget, std::string_view strProgram)
{
    return "&" + std::to_string(nTarget) + ". ﾌﾞﾗｳｻﾞー(" + GetFileTitlePart(strProgram) + ")";
}

std::string FindBaseHref(std::string_view page)
{
    const CTag base = FindTag(page, "base");
    return base.Found() ? AttributeValue(base.attributes, "href") : std::string();
}

std::string WithBaseHref(std::string_view page, std::string_view strHref)
{
    if (FindTag(page, "base").Found())
        return std::string(page);
    std::size_t nAt = 0;
    if (const CTag head = FindTag(page, "head"); head.Found()) {
        nAt = head.nEnd;
    } else if (const CTag html = FindTag(page, "html"); html.Found()) {
        nAt = html.nEnd;
    } else {
        // Nothing may come before a doctype, or the page changes how it is laid out.
        std::size_t nFirst = page.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
        while (nFirst < page.size() && IsBlank(page[nFirst]))
            ++nFirst;
        if (StartsWithNoCase(page, nFirst, "<!doctype")) {
            const std::size_t nClose = page.find('>', nFirst);
            nAt = nClose == std::string_view::npos ? page.size() : nClose + 1;
        } else {
            nAt = page.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
        }
    }
    std::string strResult;
    strResult.reserve(page.size() + strHref.size() + 16);
    strResult.append(page.substr(0, nAt));
    strResult.append("<base href=\"").append(strHref).append("\">");
    strResult.append(page.substr(nAt));
    return strResult;
}

std::string PageCharset(std::string_view page, bool *pbDeclared)
{
    auto declared = [pbDeclared](bool b) {
        if (pbDeclared)
            *pbDeclared = b;
    };
    if (page.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        declared(true);
        return "UTF-8";
    }
    if (page.compare(0, 2, "\xFF\xFE") == 0) {
        declared(true);
        return "UTF-16LE";
    }
    if (page.compare(0, 2, "\xFE\xFF") == 0) {
        declared(true);
        return "UTF-16BE";
    }
    if (std::string strMeta = DeclaredMetaCharset(page); !strMeta.empty()) {
        declared(true);
        return strMeta;
    }
    declared(false);
    if (CheckUtf8(page) == EUtf8Check::Wide)
        return "UTF-8";
    switch (NkfGuessCode(page)) {
    case KANJI_EUC:
        return "EUC-JP";
    case KANJI_JIS:
        return "ISO-2022-JP";
    default:
        return "Shift_JIS";
    }
}

std::string PreviewCopyBytes(std::string_view text, std::string_view strBaseHref, const CExtraChars *pExtra)
{
    std::string page = strBaseHref.empty() ? std::string(text) : WithBaseHref(text, strBaseHref);
    bool bDeclared = false;
    const std::string strCharset = FoldCharsetName(PageCharset(page, &bDeclared));
    if (pExtra && FindExtraChar(page, *pExtra) != 0) {
        std::string out;
        if ((strCharset == "eucjp" || strCharset == "xeucjp")
            && EncodeFileText(page, ETextCode::Euc, {}, out, nullptr, pExtra))
            return out;
        if (strCharset == "iso2022jp" && EncodeFileText(page, ETextCode::Jis, {}, out, nullptr, pExtra))
            return out;
        return (strCharset == "utf8" ? std::string() : std::string("\xEF\xBB\xBF")) + DocTextToUtf8(page, pExtra);
    }
    if (!bDeclared)
        return page;
    if (strCharset == "utf8")
        return (CheckUtf8(page) == EUtf8Check::Wide) ? page : Cp932ToUtf8(page);
    if (strCharset == "eucjp" || strCharset == "xeucjp")
        return NkfGuessCode(page) == KANJI_SJIS ? NkfFromCp932(page, OUTCODE_EUC) : page;
    if (strCharset == "iso2022jp")
        return NkfGuessCode(page) == KANJI_SJIS ? NkfFromCp932(page, OUTCODE_JIS) : page;
    return page;
}
