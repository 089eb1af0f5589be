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

std::string Lower(std::string_view s)
{
    std::string str(s);
    std::transform(str.begin(), str.end(), str.begin(),
                   [](unsigned char ch) { return (ch >= 'A' && ch <= 'Z') ? char(ch - 'A' + 'a') : char(ch); });
    return str;
}

} // namespace

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
