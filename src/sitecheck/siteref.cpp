#include "sitecheck/siteref.h"

#include "text/codec.h"
#include "text/utf8check.h"

namespace {

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = LowerAscii(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

} // namespace

std::string PercentDecode(std::string_view s)
{
    if (s.find('%') == std::string_view::npos)
        return std::string(s);
    std::string out;
    for (const bool bSjisRuns : {false, true}) {
        out.clear();
        std::string strRun;
        auto Flush = [&] {
            out += bSjisRuns ? Cp932ToUtf8(strRun) : strRun;
            strRun.clear();
        };
        for (std::size_t i = 0; i < s.size(); ++i) {
            if (s[i] == '%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
                strRun += static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
                i += 2;
                continue;
            }
            Flush();
            out += s[i];
        }
        Flush();
        if (CheckUtf8(out) != EUtf8Check::Invalid)
            break;
    }
    return out;
}

int PixelValue(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    if (s.size() > 2 && LowerAscii(s[s.size() - 2]) == 'p' && LowerAscii(s.back()) == 'x')
        s.remove_suffix(2);
    if (s.empty() || s.size() > 6)
        return -1;
    int n = 0;
    for (const char c : s) {
        if (c < '0' || c > '9')
            return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

CSiteRefParts SplitReference(std::string_view value)
{
    CSiteRefParts parts;
    // A scheme: a letter, then letters, digits, '+', '-' or '.', then ':'.
    std::size_t nColon = 0;
    while (nColon < value.size()
           && ((value[nColon] >= 'a' && value[nColon] <= 'z') || (value[nColon] >= 'A' && value[nColon] <= 'Z')
               || (nColon > 0 && ((value[nColon] >= '0' && value[nColon] <= '9') || value[nColon] == '+'
                                  || value[nColon] == '-' || value[nColon] == '.'))))
        ++nColon;
    std::string strScheme;
    if (nColon > 0 && nColon < value.size() && value[nColon] == ':') {
        for (std::size_t i = 0; i < nColon; ++i)
            strScheme += LowerAscii(value[i]);
        value.remove_prefix(nColon + 1);
    }
    if (strScheme == "javascript" || strScheme == "data" || strScheme == "about")
        return parts;
    if (!strScheme.empty() && strScheme != "file") {
        parts.eForm = SITEREFFORM_NETWORK;
        return parts;
    }
    const std::size_t nHash = value.find('#');
    if (nHash != std::string_view::npos) {
        parts.bFragment = true;
        parts.strFragment = PercentDecode(value.substr(nHash + 1));
        value = value.substr(0, nHash);
    }
    value = value.substr(0, value.find('?'));
    if (strScheme == "file") {
        // file:///path and file://localhost/path are this machine; another host is not.
        if (value.substr(0, 2) == "//") {
            value.remove_prefix(2);
            const std::size_t nSlash = value.find('/');
            const std::string_view host = value.substr(0, nSlash);
            if (!host.empty() && host != "localhost") {
                parts.eForm = SITEREFFORM_NETWORK;
                return parts;
            }
            value = nSlash == std::string_view::npos ? std::string_view() : value.substr(nSlash);
        }
        parts.eForm = SITEREFFORM_FILE;
        parts.strPath = PercentDecode(value);
        if (parts.strPath.empty() || parts.strPath[0] != '/')
            parts.eForm = SITEREFFORM_NONE;
        return parts;
    }
    if (value.substr(0, 2) == "//") {
        parts.eForm = SITEREFFORM_NETWORK;
        return parts;
    }
    parts.strPath = PercentDecode(value);
    if (parts.strPath.empty())
        parts.eForm = parts.bFragment ? SITEREFFORM_FRAGMENT : SITEREFFORM_NONE;
    else
        parts.eForm = parts.strPath[0] == '/' ? SITEREFFORM_ROOT : SITEREFFORM_RELATIVE;
    return parts;
}
