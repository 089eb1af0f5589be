#include "sitecheck/pagescan.h"

#include "html/tagparse.h"
#include "sitecheck/tagnest.h"
#include "text/codec.h"
#include "text/sjis.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::string_view UTF8_BOM = "\xEF\xBB\xBF";

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c;
}

std::string LowerAscii(std::string_view s)
{
    std::string out(s);
    for (char &c : out)
        c = LowerAscii(c);
    return out;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

bool IsAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

bool IsVoidElement(std::string_view strName)
{
    static constexpr std::string_view VOIDS[] = {"area",  "base", "basefont", "bgsound", "br",    "col",
                                                 "embed", "frame", "hr",      "img",     "input", "isindex",
                                                 "keygen", "link", "meta",    "param",   "source", "track",
                                                 "wbr"};
    return std::find(std::begin(VOIDS), std::end(VOIDS), strName) != std::end(VOIDS);
}

// Elements whose content is text up to their own end tag, never markup.
bool IsRawTextElement(std::string_view strName)
{
    return strName == "script" || strName == "style" || strName == "textarea" || strName == "title"
           || strName == "xmp";
}

// The character references an attribute value commonly holds; others stay as written.
std::string DecodeEntities(std::string_view s)
{
    if (s.find('&') == std::string_view::npos)
        return std::string(s);
    static constexpr std::pair<std::string_view, char> NAMED[] = {
        {"amp;", '&'}, {"quot;", '"'}, {"lt;", '<'}, {"gt;", '>'}, {"apos;", '\''}};
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '&') {
            out += s[i];
            continue;
        }
        std::string_view rest = s.substr(i + 1);
        bool bDone = false;
        for (const auto &[name, ch] : NAMED) {
            if (rest.substr(0, name.size()) == name) {
                out += ch;
                i += name.size();
                bDone = true;
                break;
            }
        }
        if (!bDone && rest.size() > 1 && rest[0] == '#') {
            const bool bHex = rest[1] == 'x' || rest[1] == 'X';
            std::size_t j = bHex ? 2 : 1;
            char32_t c = 0;
            const std::size_t nDigits = j;
            for (; j < rest.size() && j < nDigits + 7; ++j) {
                const char d = rest[j];
                int v = -1;
                if (d >= '0' && d <= '9')
                    v = d - '0';
                else if (bHex && LowerAscii(d) >= 'a' && LowerAscii(d) <= 'f')
                    v = LowerAscii(d) - 'a' + 10;
                if (v < 0)
                    break;
                c = c * (bHex ? 16 : 10) + v;
            }
            if (j > nDigits && j < rest.size() && rest[j] == ';' && c > 0 && c < 0x110000) {
                AppendUtf8(out, c);
                i += j + 1;
                bDone = true;
            }
        }
        if (!bDone)
            out += '&';
    }
    return out;
}

struct CAttribute
{
    std::string strName;  // lower case
    std::string_view value;
    std::size_t nOffset = 0;  // of the name, in the page text
};

// The attributes of the tag text [nStart, nEnd) of the page, behind its name.
std::vector<CAttribute> ScanAttributes(std::string_view text, std::size_t nStart, std::size_t nEnd)
{
    std::vector<CAttribute> aAttributes;
    std::size_t i = nStart + 1;
    while (i < nEnd && !IsBlank(text[i]) && text[i] != '>' && text[i] != '/')
        ++i;
    while (i < nEnd) {
        while (i < nEnd && (IsBlank(text[i]) || text[i] == '/'))
            ++i;
        if (i >= nEnd || text[i] == '>')
            break;
        const std::size_t nName = i;
        while (i < nEnd && !IsBlank(text[i]) && text[i] != '=' && text[i] != '>' && text[i] != '/')
            ++i;
        CAttribute attribute;
        attribute.strName = LowerAscii(text.substr(nName, i - nName));
        attribute.nOffset = nName;
        std::size_t j = i;
        while (j < nEnd && IsBlank(text[j]))
            ++j;
        if (j < nEnd && text[j] == '=') {
            ++j;
            while (j < nEnd && IsBlank(text[j]))
                ++j;
            if (j < nEnd && (text[j] == '"' || text[j] == '\'')) {
                const char chQuote = text[j];
                std::size_t nClose = text.find(chQuote, j + 1);
                if (nClose == std::string_view::npos || nClose >= nEnd)
                    nClose = nEnd - 1;
                attribute.value = text.substr(j + 1, nClose - j - 1);
                i = nClose + 1;
            } else {
                std::size_t k = j;
                while (k < nEnd && !IsBlank(text[k]) && text[k] != '>')
                    ++k;
                attribute.value = text.substr(j, k - j);
                i = k;
            }
        } else if (i == nName) {
            ++i;  // a stray byte such as '"' that starts no name
            continue;
        }
        if (!attribute.strName.empty())
            aAttributes.push_back(std::move(attribute));
    }
    return aAttributes;
}

class CPageScanner
{
public:
    CPageScanner(std::string_view text, bool bUtf8, bool bAnchorsOnly, CSitePageScan &scan)
        : m_text(text), m_bUtf8(bUtf8), m_bAnchorsOnly(bAnchorsOnly), m_scan(scan)
    {
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')))
                m_aLineStarts.push_back(i + 1);
        }
    }

    void Run();

    // The charset the page declares, and the line, once found.
    std::string m_strCharset;
    int m_nCharsetLine = 0;
    bool m_bCharsetFound = false;

private:
    int LineAt(std::size_t nOffset) const
    {
        return static_cast<int>(std::upper_bound(m_aLineStarts.begin(), m_aLineStarts.end(), nOffset)
                                - m_aLineStarts.begin())
               + 1;
    }
    std::string ToUtf8(std::string_view s) const { return m_bUtf8 ? std::string(s) : Cp932ToUtf8(s); }
    void Fault(std::size_t nOffset, std::string strMessage)
    {
        if (m_bAnchorsOnly)
            return;
        CSiteFinding finding;
        finding.nLine = LineAt(nOffset);
        finding.strMessage = std::move(strMessage);
        m_scan.aFindings.push_back(std::move(finding));
    }
    // The next byte from nFrom on that starts a character.
    std::size_t NextChar(std::size_t nAt) const
    {
        if (!m_bUtf8 && IsSjisLeadByte(static_cast<unsigned char>(m_text[nAt])) && nAt + 1 < m_text.size())
            return nAt + 2;
        return nAt + 1;
    }
    void StartTag(std::string_view strName, std::size_t nStart, std::size_t nEnd);
    void AddReference(ESiteRefKind eKind, std::string_view value, std::size_t nOffset);
    void AddStyleUrls(std::size_t nFrom, std::size_t nTo);
    void AddAnchor(std::string_view value, std::size_t nOffset, bool bId);
    // Behind the end tag of a raw-text element that starts at nFrom, or npos.
    std::size_t FindRawEnd(std::string_view strName, std::size_t nFrom, std::size_t &nEndTag) const;

    std::string_view m_text;
    bool m_bUtf8;
    bool m_bAnchorsOnly;
    CSitePageScan &m_scan;
    std::vector<std::size_t> m_aLineStarts;
    std::unordered_map<std::string, int> m_ids;
    CTagNesting m_nesting;
};

void CPageScanner::AddReference(ESiteRefKind eKind, std::string_view value, std::size_t nOffset)
{
    if (m_bAnchorsOnly)
        return;
    std::string strValue = DecodeEntities(ToUtf8(value));
    const std::size_t nFirst = strValue.find_first_not_of(" \t\r\n\f");
    if (nFirst == std::string::npos)
        return;
    strValue = strValue.substr(nFirst, strValue.find_last_not_of(" \t\r\n\f") + 1 - nFirst);
    CSiteRef ref;
    ref.eKind = eKind;
    ref.strValue = std::move(strValue);
    ref.nLine = LineAt(nOffset);
    m_scan.aRefs.push_back(std::move(ref));
}

void CPageScanner::AddAnchor(std::string_view value, std::size_t nOffset, bool bId)
{
    if (value.empty())
        return;
    const std::string strName = DecodeEntities(ToUtf8(value));
    const int nLine = LineAt(nOffset);
    m_scan.anchors.emplace(strName, nLine);
    if (!bId)
        return;
    const auto [it, bNew] = m_ids.emplace(strName, nLine);
    if (!bNew)
        Fault(nOffset, "id \"" + strName + "\" が重複しています（最初は " + std::to_string(it->second) + " 行目）");
}

void CPageScanner::AddStyleUrls(std::size_t nFrom, std::size_t nTo)
{
    if (m_bAnchorsOnly)
        return;
    for (std::size_t i = nFrom; i + 4 <= nTo; i = NextChar(i)) {
        if (LowerAscii(m_text[i]) != 'u' || !EqualsNoCase(m_text.substr(i, 4), "url("))
            continue;
        std::size_t j = i + 4;
        while (j < nTo && IsBlank(m_text[j]))
            ++j;
        char chClose = ')';
        if (j < nTo && (m_text[j] == '"' || m_text[j] == '\''))
            chClose = m_text[j++];
        std::size_t k = j;
        while (k < nTo && m_text[k] != chClose)
            k = NextChar(k);
        if (k >= nTo)
            break;
        AddReference(SITEREF_STYLE, m_text.substr(j, k - j), i);
        i = k;
    }
}

std::size_t CPageScanner::FindRawEnd(std::string_view strName, std::size_t nFrom, std::size_t &nEndTag) const
{
    // '<' is never the second byte of a double-byte character, so every '<'
    // found starts one.
    for (std::size_t i = m_text.find("</", nFrom); i != std::string_view::npos; i = m_text.find("</", i + 2)) {
        const std::size_t nAfter = i + 2 + strName.size();
        if (EqualsNoCase(m_text.substr(i + 2, strName.size()), strName)
            && (nAfter >= m_text.size() || IsBlank(m_text[nAfter]) || m_text[nAfter] == '>' || m_text[nAfter] == '/')) {
            nEndTag = i;
            const std::size_t nClose = m_text.find('>', nAfter);
            return nClose == std::string_view::npos ? m_text.size() : nClose + 1;
        }
    }
    return std::string_view::npos;
}

void CPageScanner::StartTag(std::string_view strName, std::size_t nStart, std::size_t nEnd)
{
    const std::vector<CAttribute> aAttributes = ScanAttributes(m_text, nStart, nEnd);
    auto Value = [&](std::string_view strAttr) -> const CAttribute * {
        for (const CAttribute &attribute : aAttributes)
            if (attribute.strName == strAttr)
                return &attribute;
        return nullptr;
    };
    for (const CAttribute &attribute : aAttributes) {
        const std::string &n = attribute.strName;
        if (n == "id")
            AddAnchor(attribute.value, attribute.nOffset, true);
        else if (n == "name" && strName == "a")
            AddAnchor(attribute.value, attribute.nOffset, false);
        else if (n == "style")
            AddStyleUrls(attribute.value.data() - m_text.data(),
                         attribute.value.data() - m_text.data() + attribute.value.size());
        else if (n == "background")
            AddReference(SITEREF_STYLE, attribute.value, attribute.nOffset);
        else if ((n == "href" && (strName == "a" || strName == "area" || strName == "link"))
                 || (n == "action" && strName == "form") || (n == "data" && strName == "object")
                 || (n == "src"
                     && (strName == "script" || strName == "frame" || strName == "iframe" || strName == "embed"
                         || strName == "input" || strName == "source" || strName == "audio" || strName == "video"
                         || strName == "track")))
            AddReference(SITEREF_LINK, attribute.value, attribute.nOffset);
        else if (n == "src" && strName == "img") {
            AddReference(SITEREF_IMAGE, attribute.value, attribute.nOffset);
            if (!m_bAnchorsOnly && !m_scan.aRefs.empty() && m_scan.aRefs.back().eKind == SITEREF_IMAGE) {
                if (const CAttribute *pWidth = Value("width"))
                    m_scan.aRefs.back().strWidth = std::string(pWidth->value);
                if (const CAttribute *pHeight = Value("height"))
                    m_scan.aRefs.back().strHeight = std::string(pHeight->value);
            }
        } else if (n == "href" && strName == "base")
            m_scan.bBase = true;
    }
    if (strName == "meta" && !m_bCharsetFound) {
        const CAttribute *pCharset = Value("charset");
        const CAttribute *pEquiv = Value("http-equiv");
        const CAttribute *pContent = Value("content");
        if (pCharset) {
            m_strCharset = ToUtf8(pCharset->value);
            m_nCharsetLine = LineAt(pCharset->nOffset);
            m_bCharsetFound = true;
        } else if (pEquiv && pContent && EqualsNoCase(pEquiv->value, "content-type")) {
            const std::string strContent = LowerAscii(pContent->value);
            const std::size_t nAt = strContent.find("charset=");
            if (nAt != std::string::npos) {
                std::string_view rest = std::string_view(pContent->value).substr(nAt + 8);
                rest = rest.substr(0, rest.find_first_of("; \t\r\n\"'"));
                m_strCharset = ToUtf8(rest);
                m_nCharsetLine = LineAt(pContent->nOffset);
                m_bCharsetFound = true;
            }
        }
    }
}

void CPageScanner::Run()
{
    std::size_t i = 0;
    while ((i = m_text.find('<', i)) != std::string_view::npos) {
        if (m_text.substr(i, 4) == "<!--") {
            const std::size_t nClose = m_text.find("-->", i + 4);
            if (nClose == std::string_view::npos) {
                Fault(i, "コメントが閉じられていません");
                break;
            }
            i = nClose + 3;
            continue;
        }
        const char chNext = i + 1 < m_text.size() ? m_text[i + 1] : '\0';
        if (chNext == '!' || chNext == '?') {
            const std::size_t nClose = m_text.find('>', i);
            if (nClose == std::string_view::npos)
                break;
            i = nClose + 1;
            continue;
        }
        const bool bEnd = chNext == '/';
        const std::size_t nName = i + 1 + (bEnd ? 1 : 0);
        if (nName >= m_text.size() || !IsAsciiLetter(m_text[nName])) {
            ++i;
            continue;
        }
        const std::size_t nEnd = FindTagEnd(m_text, i);
        std::size_t nNameEnd = nName;
        while (nNameEnd < m_text.size() && !IsBlank(m_text[nNameEnd]) && m_text[nNameEnd] != '>'
               && m_text[nNameEnd] != '/' && m_text[nNameEnd] != '<')
            ++nNameEnd;
        const std::string strName = LowerAscii(m_text.substr(nName, nNameEnd - nName));
        if (nEnd == std::string_view::npos) {
            Fault(i, "タグが > で閉じられていません: <" + std::string(bEnd ? "/" : "") + strName);
            i = nNameEnd;
            continue;
        }
        const int nLine = LineAt(i);
        if (bEnd) {
            m_nesting.End(strName, nLine);
            i = nEnd;
            continue;
        }
        StartTag(strName, i, nEnd);
        const bool bSelfClosed = nEnd >= 2 && m_text[nEnd - 2] == '/';
        if (!IsVoidElement(strName) && !bSelfClosed)
            m_nesting.Start(strName, nLine);
        i = nEnd;
        if (IsRawTextElement(strName) && !bSelfClosed) {
            std::size_t nEndTag = 0;
            const std::size_t nAfter = FindRawEnd(strName, nEnd, nEndTag);
            if (nAfter == std::string_view::npos)
                break;  // the rest of the page is its text; the nesting reports it open
            if (strName == "style")
                AddStyleUrls(nEnd, nEndTag);
            m_nesting.End(strName, LineAt(nEndTag));
            i = nAfter;
        }
    }
    if (m_bAnchorsOnly)
        return;
    m_nesting.Finish();
    const std::vector<CSiteFinding> &aNesting = m_nesting.GetFindings();
    m_scan.aFindings.insert(m_scan.aFindings.end(), aNesting.begin(), aNesting.end());
}

} // namespace

bool CharsetToTextCode(std::string_view strName, ETextCode &eCode)
{
    const std::string strLower = LowerAscii(strName);
    static constexpr std::pair<std::string_view, ETextCode> NAMES[] = {
        {"shift_jis", ETextCode::Sjis},   {"shift-jis", ETextCode::Sjis},   {"sjis", ETextCode::Sjis},
        {"x-sjis", ETextCode::Sjis},      {"ms_kanji", ETextCode::Sjis},    {"csshiftjis", ETextCode::Sjis},
        {"windows-31j", ETextCode::Sjis}, {"cp932", ETextCode::Sjis},       {"ms932", ETextCode::Sjis},
        {"euc-jp", ETextCode::Euc},       {"x-euc-jp", ETextCode::Euc},     {"eucjp", ETextCode::Euc},
        {"iso-2022-jp", ETextCode::Jis},  {"csiso2022jp", ETextCode::Jis},  {"utf-8", ETextCode::Utf8},
        {"utf8", ETextCode::Utf8},        {"unicode-1-1-utf-8", ETextCode::Utf8},
    };
    for (const auto &[name, code] : NAMES) {
        if (strLower == name) {
            eCode = code;
            return true;
        }
    }
    return false;
}

CSitePageScan ScanSitePage(std::string_view fileBytes, bool bAnchorsOnly)
{
    CSitePageScan scan;
    std::string strDecoded;
    scan.eCode = DetectTextCode(fileBytes, ETextCode::Sjis, &strDecoded);
    const bool bAscii = scan.eCode != ETextCode::Utf8Bom && PlainTextRun(fileBytes.data(), fileBytes.size()) == fileBytes.size();
    std::string_view text = fileBytes;
    bool bUtf8 = false;
    if (scan.eCode == ETextCode::Utf8 || scan.eCode == ETextCode::Utf8Bom) {
        bUtf8 = true;
        if (text.substr(0, UTF8_BOM.size()) == UTF8_BOM)
            text.remove_prefix(UTF8_BOM.size());
    } else if (scan.eCode == ETextCode::Euc || scan.eCode == ETextCode::Jis) {
        if (strDecoded.empty())
            strDecoded = DecodeFileText(fileBytes).strText;
        text = strDecoded;
    }
    CPageScanner scanner(text, bUtf8, bAnchorsOnly, scan);
    scanner.Run();
    if (bAnchorsOnly)
        return scan;

    CSiteFinding charset;
    if (!scanner.m_bCharsetFound) {
        charset.nLine = 1;
        charset.bNote = true;
        charset.strMessage = "文字コードの宣言（<meta charset>）がありません";
        scan.aFindings.push_back(charset);
    } else if (!bAscii) {
        ETextCode eDeclared = ETextCode::Sjis;
        const bool bKnown = CharsetToTextCode(scanner.m_strCharset, eDeclared);
        const bool bUtf8File = scan.eCode == ETextCode::Utf8 || scan.eCode == ETextCode::Utf8Bom;
        const bool bMatches = bKnown && (eDeclared == scan.eCode || (eDeclared == ETextCode::Utf8 && bUtf8File));
        if (!bMatches) {
            charset.nLine = scanner.m_nCharsetLine;
            charset.strMessage = "文字コードの宣言 \"" + scanner.m_strCharset + "\" がファイルの文字コード（"
                                 + TextCodeLabel(scan.eCode) + "）と違います";
            scan.aFindings.push_back(charset);
        }
    }
    std::stable_sort(scan.aFindings.begin(), scan.aFindings.end(),
                     [](const CSiteFinding &a, const CSiteFinding &b) { return a.nLine < b.nLine; });
    return scan;
}
