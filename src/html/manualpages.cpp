#include "html/manualpages.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <system_error>

namespace {

bool IsAsciiAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c)
{
    return IsAsciiDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The length of the character reference at "&" (nAt), or 0 when there is
// none: "&name;", "&#123;", "&#x1F;".
std::size_t ReferenceLength(std::string_view page, std::size_t nAt)
{
    std::size_t i = nAt + 1;
    if (i < page.size() && page[i] == '#') {
        ++i;
        const bool bHex = i < page.size() && (page[i] == 'x' || page[i] == 'X');
        if (bHex)
            ++i;
        const std::size_t nDigits = i;
        while (i < page.size() && (bHex ? IsHexDigit(page[i]) : IsAsciiDigit(page[i])))
            ++i;
        if (i == nDigits)
            return 0;
    } else {
        if (i >= page.size() || !IsAsciiAlpha(page[i]))
            return 0;
        while (i < page.size() && (IsAsciiAlpha(page[i]) || IsAsciiDigit(page[i])))
            ++i;
    }
    return i < page.size() && page[i] == ';' ? i + 1 - nAt : 0;
}

std::string Problem(std::string_view page, std::size_t nOffset, std::string_view strWhat)
{
    return "line " + std::to_string(PageLineOf(page, nOffset)) + ": " + std::string(strWhat);
}

void CheckText(std::string_view page, std::size_t nFrom, std::size_t nTo, std::vector<std::string> &aProblems)
{
    for (std::size_t i = nFrom; i < nTo; ++i) {
        if (page[i] == '>')
            aProblems.push_back(Problem(page, i, "\">\" in the text (write &gt;)"));
        else if (page[i] == '&' && ReferenceLength(page, i) == 0)
            aProblems.push_back(Problem(page, i, "\"&\" that starts no reference (write &amp;)"));
    }
}

} // namespace

int PageLineOf(std::string_view page, std::size_t nOffset)
{
    nOffset = std::min(nOffset, page.size());
    return 1 + static_cast<int>(std::count(page.begin(), page.begin() + static_cast<std::ptrdiff_t>(nOffset), '\n'));
}

bool IsVoidElement(std::string_view strName)
{
    static const std::set<std::string_view> VOID_ELEMENTS = {"area", "base", "br",   "col",   "embed", "hr",  "img",
                                                             "input", "link", "meta", "source", "track", "wbr"};
    return VOID_ELEMENTS.count(strName) != 0;
}

CPageScan ScanPage(std::string_view page)
{
    CPageScan scan;
    std::size_t nText = 0;
    std::size_t i = 0;
    while (i < page.size()) {
        if (page[i] != '<') {
            ++i;
            continue;
        }
        CheckText(page, nText, i, scan.aProblems);
        if (page.substr(i, 4) == "<!--") {
            const std::size_t nClose = page.find("-->", i + 4);
            if (nClose == std::string_view::npos) {
                scan.aProblems.push_back(Problem(page, i, "comment never closed"));
                return scan;
            }
            i = nText = nClose + 3;
            continue;
        }
        const char chNext = i + 1 < page.size() ? page[i + 1] : '\0';
        const std::size_t nEnd = FindTagEnd(page, i);
        const bool bEnd = chNext == '/';
        const std::string strName = TagName(page.substr(i + (bEnd ? 2 : 1), 64));
        if (nEnd == std::string_view::npos || (chNext != '!' && chNext != '?' && strName.empty())) {
            // Not a tag: a bare "<" in the text.
            scan.aProblems.push_back(Problem(page, i, "\"<\" that opens no tag (write &lt;)"));
            nText = ++i;
            continue;
        }
        if (chNext != '!' && chNext != '?') {
            const std::string_view strTag = page.substr(i, nEnd - i);
            CPageTag tag;
            tag.strName = strName;
            tag.bEnd = bEnd;
            tag.bSelfClosing = strTag.size() >= 3 && strTag[strTag.size() - 2] == '/';
            if (!bEnd)
                tag.attributes = ParseTagAttributes(strTag);
            tag.nOffset = i;
            scan.aTags.push_back(std::move(tag));
        }
        i = nText = nEnd;
    }
    CheckText(page, nText, page.size(), scan.aProblems);
    return scan;
}

std::vector<std::string> CheckPageMarkup(std::string_view page)
{
    CPageScan scan = ScanPage(page);
    std::vector<std::string> aProblems = std::move(scan.aProblems);
    std::vector<const CPageTag *> aOpen;
    std::set<std::string> ids;
    for (const CPageTag &tag : scan.aTags) {
        if (!tag.bEnd) {
            if (auto it = tag.attributes.find("id"); it != tag.attributes.end() && !ids.insert(it->second).second)
                aProblems.push_back(Problem(page, tag.nOffset, "id \"" + it->second + "\" given twice"));
            if (!IsVoidElement(tag.strName) && !tag.bSelfClosing)
                aOpen.push_back(&tag);
            continue;
        }
        if (IsVoidElement(tag.strName)) {
            aProblems.push_back(Problem(page, tag.nOffset, "</" + tag.strName + "> closes an empty element"));
            continue;
        }
        if (aOpen.empty()) {
            aProblems.push_back(Problem(page, tag.nOffset, "</" + tag.strName + "> closes nothing"));
            continue;
        }
        if (aOpen.back()->strName != tag.strName) {
            aProblems.push_back(Problem(page, tag.nOffset,
                                        "</" + tag.strName + "> where <" + aOpen.back()->strName + "> of line "
                                            + std::to_string(PageLineOf(page, aOpen.back()->nOffset))
                                            + " is to be closed"));
            // An element closed too early leaves the ones inside it open:
            // take them off so that one slip is reported once.
            auto it = std::find_if(aOpen.rbegin(), aOpen.rend(),
                                   [&tag](const CPageTag *pOpen) { return pOpen->strName == tag.strName; });
            if (it != aOpen.rend())
                aOpen.erase(std::next(it).base(), aOpen.end());
            continue;
        }
        aOpen.pop_back();
    }
    for (const CPageTag *pOpen : aOpen)
        aProblems.push_back(Problem(page, pOpen->nOffset, "<" + pOpen->strName + "> never closed"));
    return aProblems;
}

std::vector<std::string> PageAnchorIds(std::string_view page)
{
    std::vector<std::string> aIds;
    for (const CPageTag &tag : ScanPage(page).aTags) {
        if (auto it = tag.attributes.find("id"); !tag.bEnd && it != tag.attributes.end() && !it->second.empty())
            aIds.push_back(it->second);
    }
    return aIds;
}

std::map<std::string, std::string> ReadManualAnchors(const std::string &strFolder)
{
    namespace fs = std::filesystem;
    std::map<std::string, std::string> anchors;
    std::vector<fs::path> aPages;
    std::error_code ec;
    for (fs::directory_iterator it(fs::path(strFolder), ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().extension() == ".html" && it->is_regular_file(ec))
            aPages.push_back(it->path());
    }
    std::sort(aPages.begin(), aPages.end());
    for (const fs::path &path : aPages) {
        std::ifstream file(path, std::ios::binary);
        const std::string page((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        const std::string strName = path.filename().string();
        for (std::string &strId : PageAnchorIds(page))
            anchors.emplace(std::move(strId), strName);
    }
    return anchors;
}
