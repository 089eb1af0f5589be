#include "app/docnames.h"

#include "syntax/viewtype.h"

#include <algorithm>

const char *const OPEN_FILE_FILTER =
    "ﾃｷｽﾄ･HTML Files  (*.txt;*.htm;*.html;*.asp)|*.txt;*.htm;*.html;*.asp|Text Files (*.txt)|*.txt|"
    "HTML Files (*.htm;*.html)|*.htm;*.html|ASP Files (*.asp)|*.asp|"
    "C/C++ Files  (*.cpp;*.c;*.h;*.inl;*.rc)|*.cpp;*.c;*.h;*.inl;*.rc|Java Files  (*.java)|*.java|"
    "VB Files  (*.frm;*.bas;*.cls)|*.frm;*.bas;*.cls|Perl/CGI Files  (*.pl;*.cgi)|*.pl;*.cgi|"
    "All Files  (*.*)|*.*||";

const char *const SAVE_FILE_FILTER =
    "Text Files  (*.txt)|*.txt|Html Files  (*.html;*.htm)|*.html;*.htm|C/C++ Files  (*.cpp;*.c)|*.cpp;*.c|"
    "C Header Files  (*.h)|*.h|Java Files  (*.java)|*.java|Perl Files  (*.pl)|*.pl|CGI Files  (*.cgi)|*.cgi|"
    "All Files  (*.*)|*.*||";

namespace {

std::vector<std::string_view> Split(std::string_view s, char ch)
{
    std::vector<std::string_view> parts;
    std::size_t nStart = 0;
    for (;;) {
        const std::size_t nPos = s.find(ch, nStart);
        parts.push_back(s.substr(nStart, nPos == std::string_view::npos ? std::string_view::npos : nPos - nStart));
        if (nPos == std::string_view::npos)
            return parts;
        nStart = nPos + 1;
    }
}

std::string Lower(std::string_view s)
{
    std::string str(s);
    std::transform(str.begin(), str.end(), str.begin(),
                   [](unsigned char ch) { return (ch >= 'A' && ch <= 'Z') ? char(ch - 'A' + 'a') : char(ch); });
    return str;
}

} // namespace

std::vector<CFileFilter> ParseFileFilter(std::string_view filter)
{
    std::vector<CFileFilter> aFilters;
    const std::vector<std::string_view> parts = Split(filter, '|');
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty())
            break;
        CFileFilter f;
        f.strLabel = std::string(parts[i]);
        for (std::string_view pattern : Split(parts[i + 1], ';'))
            if (!pattern.empty())
                f.aPatterns.emplace_back(pattern);
        if (!f.aPatterns.empty())
            aFilters.push_back(std::move(f));
    }
    return aFilters;
}

std::vector<std::string> DialogFilterStrings(std::string_view filter)
{
    std::vector<std::string> aStrings;
    for (const CFileFilter &f : ParseFileFilter(filter)) {
        std::string str = f.strLabel.substr(0, std::min(f.strLabel.rfind('('), f.strLabel.size()));
        str += '(';
        // "*.*" meant every file; here it would hide the many without a dot.
        for (std::size_t i = 0; i < f.aPatterns.size(); ++i)
            str += (i ? " " : "") + (f.aPatterns[i] == "*.*" ? std::string("*") : f.aPatterns[i]);
        str += ')';
        aStrings.push_back(std::move(str));
    }
    return aStrings;
}

std::string FileExtension(std::string_view name)
{
    const std::size_t nSlash = name.rfind('/');
    if (nSlash != std::string_view::npos)
        name.remove_prefix(nSlash + 1);
    const std::size_t nDot = name.rfind('.');
    if (nDot == std::string_view::npos)
        return std::string();
    return std::string(name.substr(nDot + 1));
}

bool SameExtension(std::string_view nameA, std::string_view nameB)
{
    return Lower(FileExtension(nameA)) == Lower(FileExtension(nameB));
}

CSaveFilterChoice SaveFilterForTitle(std::string_view title, std::string_view untitledText)
{
    std::string ext = Lower(FileExtension(title));
    if (ext.empty() && TextStartsAsHtml(untitledText))
        ext = "html";
    if (ext.empty() || ext == "txt")
        return {"txt", 1};
    if (ext == "htm" || ext == "html")
        return {"html", 2};
    if (ext == "cpp" || ext == "c")
        return {"cpp", 3};
    if (ext == "h")
        return {"h", 4};
    if (ext == "java")
        return {"java", 5};
    if (ext == "pl")
        return {"pl", 6};
    if (ext == "cgi")
        return {"cgi", 7};
    return {"", 8};
}

int OpenFilterIndexForPath(std::string_view path)
{
    const std::string ext = FileExtension(path);
    if (ext == "txt")
        return 2;
    if (ext == "html" || ext == "htm")
        return 3;
    if (ext == "asp")
        return 4;
    if (ext == "c" || ext == "cpp" || ext == "h" || ext == "rc" || ext == "inl")
        return 5;
    if (ext == "java")
        return 6;
    if (ext == "bas" || ext == "frm" || ext == "cls")
        return 7;
    if (ext == "pl" || ext == "cgi")
        return 8;
    return 1;
}

std::string FrameTitle(std::string_view docTitle, int nWindow, bool bReadOnly, bool bModified, bool bDeleted)
{
    std::string strTitle(docTitle);
    if (nWindow > 0) {
        strTitle += ':';
        strTitle += std::to_string(nWindow);
    }
    if (bDeleted)
        strTitle += "(削除されました)";
    if (bReadOnly)
        strTitle += "(書込禁止)";
    if (bModified)
        strTitle += " *";
    return strTitle;
}
