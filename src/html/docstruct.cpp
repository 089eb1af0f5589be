#include "html/docstruct.h"

#include "html/tagcase.h"

#include <algorithm>

namespace {

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// needle (lower case ASCII) in line from nFrom on, ignoring case; npos when
// absent. Every byte of needle is below 0x80, so a match never starts on the
// second byte of a double-byte character it would have to share bytes with:
// the needles begin with "<", which no trail byte equals.
std::size_t FindNoCase(std::string_view line, std::string_view needle, std::size_t nFrom = 0)
{
    if (needle.size() > line.size())
        return std::string_view::npos;
    for (std::size_t i = nFrom; i + needle.size() <= line.size(); ++i) {
        std::size_t k = 0;
        while (k < needle.size() && LowerAscii(line[i + k]) == needle[k])
            ++k;
        if (k == needle.size())
            return i;
    }
    return std::string_view::npos;
}

CDocTagPos FindFrom(const std::vector<std::string> &aLines, std::string_view needle, CPoint ptFrom, int nLastLine)
{
    CDocTagPos pos;
    const int nLines = std::min(static_cast<int>(aLines.size()), nLastLine + 1);
    for (int y = ptFrom.y; y < nLines; ++y) {
        const std::size_t nFrom = y == ptFrom.y ? static_cast<std::size_t>(ptFrom.x) : 0;
        const std::size_t x = FindNoCase(aLines[static_cast<std::size_t>(y)], needle, nFrom);
        if (x != std::string_view::npos) {
            pos.bFound = true;
            pos.ptStart = CPoint(static_cast<int>(x), y);
            pos.ptEnd = CPoint(static_cast<int>(x + needle.size()), y);
            return pos;
        }
    }
    return pos;
}

// The ">" that closes a tag opened before ptFrom, across lines.
bool FindTagClose(const std::vector<std::string> &aLines, CPoint ptFrom, CPoint &ptEnd)
{
    for (int y = ptFrom.y; y < static_cast<int>(aLines.size()); ++y) {
        const std::string &line = aLines[static_cast<std::size_t>(y)];
        const std::size_t x = line.find('>', y == ptFrom.y ? static_cast<std::size_t>(ptFrom.x) : 0);
        if (x != std::string::npos) {
            ptEnd = CPoint(static_cast<int>(x) + 1, y);
            return true;
        }
    }
    return false;
}

// An opening tag, "<name" followed by a blank, ">" or the line's end only
// ("<bodyx" and "<header" are other tags), up to the ">" that closes it,
// which may be on a later line: <html lang="ja"> is as much the document's
// html tag as <html>.
CDocTagPos FindOpenTag(const std::vector<std::string> &aLines, std::string_view strOpen, int nLastLine)
{
    CPoint ptFrom;
    for (;;) {
        CDocTagPos tag = FindFrom(aLines, strOpen, ptFrom, nLastLine);
        if (!tag.bFound)
            return tag;
        const std::string &line = aLines[static_cast<std::size_t>(tag.ptEnd.y)];
        const std::size_t x = static_cast<std::size_t>(tag.ptEnd.x);
        const char c = x < line.size() ? line[x] : '\n';
        if (c == '>' || c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            CPoint ptClose;
            if (!FindTagClose(aLines, tag.ptEnd, ptClose))
                return CDocTagPos();
            tag.ptEnd = ptClose;
            return tag;
        }
        ptFrom = tag.ptEnd;
    }
}

bool Before(CPoint a, CPoint b)
{
    return a.y < b.y || (a.y == b.y && a.x < b.x);
}

CPoint DocEnd(const std::vector<std::string> &aLines)
{
    return CPoint(static_cast<int>(aLines.back().size()), static_cast<int>(aLines.size()) - 1);
}

std::string Fixed(std::string_view text, bool bUpper)
{
    return bUpper ? TagCaseA(text, true) : std::string(text);
}

void InsertDocText(std::vector<std::string> &aLines, CPoint pt, std::string_view text)
{
    ReplaceDocText(aLines, pt, pt, text);
}

} // namespace

CDocStructure FindDocStructure(const std::vector<std::string> &aLines)
{
    CDocStructure doc;
    if (aLines.empty())
        return doc;
    const int nHeadLast = STRUCTURE_HEAD_LINES - 1;
    doc.html = FindOpenTag(aLines, "<html", nHeadLast);
    doc.head = FindOpenTag(aLines, "<head", nHeadLast);
    doc.headEnd = FindFrom(aLines, "</head>", CPoint(), nHeadLast);
    const CDocTagPos titleOpen = FindFrom(aLines, "<title>", CPoint(), nHeadLast);
    if (titleOpen.bFound) {
        const CDocTagPos titleClose = FindFrom(aLines, "</title>", titleOpen.ptEnd, nHeadLast);
        if (titleClose.bFound) {
            doc.title.bFound = true;
            doc.title.ptStart = titleOpen.ptEnd;
            doc.title.ptEnd = titleClose.ptStart;
        }
    }
    doc.body = FindOpenTag(aLines, "<body", static_cast<int>(aLines.size()) - 1);
    return doc;
}

std::string DocText(const std::vector<std::string> &aLines, CPoint ptStart, CPoint ptEnd)
{
    std::string s;
    for (int y = ptStart.y; y <= ptEnd.y && y < static_cast<int>(aLines.size()); ++y) {
        const std::string &line = aLines[static_cast<std::size_t>(y)];
        const std::size_t nFrom = y == ptStart.y ? static_cast<std::size_t>(ptStart.x) : 0;
        const std::size_t nTo = y == ptEnd.y ? static_cast<std::size_t>(ptEnd.x) : line.size();
        if (nFrom < nTo)
            s.append(line, nFrom, nTo - nFrom);
        if (y < ptEnd.y)
            s += "\r\n";
    }
    return s;
}

std::string DocTitle(const std::vector<std::string> &aLines)
{
    const CDocStructure doc = FindDocStructure(aLines);
    return doc.title.bFound ? DocText(aLines, doc.title.ptStart, doc.title.ptEnd) : std::string();
}

std::string DocBodyTag(const std::vector<std::string> &aLines)
{
    const CDocStructure doc = FindDocStructure(aLines);
    return doc.body.bFound ? DocText(aLines, doc.body.ptStart, doc.body.ptEnd) : std::string();
}

CPoint ReplaceDocText(std::vector<std::string> &aLines, CPoint ptStart, CPoint ptEnd, std::string_view text)
{
    if (aLines.empty())
        aLines.emplace_back();
    const std::string strHead = aLines[static_cast<std::size_t>(ptStart.y)].substr(0, static_cast<std::size_t>(ptStart.x));
    const std::string strTail = aLines[static_cast<std::size_t>(ptEnd.y)].substr(static_cast<std::size_t>(ptEnd.x));
    std::vector<std::string> aNew(1, strHead);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            aNew.emplace_back();
        } else {
            aNew.back() += c;
        }
    }
    const CPoint ptNewEnd(static_cast<int>(aNew.back().size()), ptStart.y + static_cast<int>(aNew.size()) - 1);
    aNew.back() += strTail;
    aLines.erase(aLines.begin() + ptStart.y, aLines.begin() + ptEnd.y + 1);
    aLines.insert(aLines.begin() + ptStart.y, aNew.begin(), aNew.end());
    return ptNewEnd;
}

void ApplyTitle(std::vector<std::string> &aLines, std::string_view strTitle, bool bUpper)
{
    if (aLines.empty())
        aLines.emplace_back();
    const CDocStructure doc = FindDocStructure(aLines);
    if (doc.title.bFound) {
        ReplaceDocText(aLines, doc.title.ptStart, doc.title.ptEnd, strTitle);
        return;
    }
    if (doc.head.bFound) {
        InsertDocText(aLines, doc.head.ptEnd,
                      Fixed("<title>", bUpper) + std::string(strTitle) + Fixed("</title>\r\n", bUpper));
        return;
    }
    const std::string strHead =
        Fixed("\r\n<head><title>", bUpper) + std::string(strTitle) + Fixed("</title></head>\r\n", bUpper);
    if (doc.html.bFound && !(doc.body.bFound && Before(doc.body.ptStart, doc.html.ptStart)))
        InsertDocText(aLines, doc.html.ptEnd, strHead);
    else if (doc.body.bFound)
        InsertDocText(aLines, doc.body.ptStart, strHead);
    else
        InsertDocText(aLines, CPoint(), strHead);
}

void ApplyBodyTag(std::vector<std::string> &aLines, std::string_view strBodyAttributes, bool bUpper)
{
    if (aLines.empty())
        aLines.emplace_back();
    const CDocStructure doc = FindDocStructure(aLines);
    const std::string strTag = "<body" + std::string(strBodyAttributes) + ">";
    if (doc.body.bFound) {
        ReplaceDocText(aLines, doc.body.ptStart, doc.body.ptEnd, Fixed(strTag, bUpper));
        return;
    }
    const std::string strInsert = Fixed("\r\n" + strTag + "\r\n", bUpper);
    if (doc.headEnd.bFound)
        InsertDocText(aLines, doc.headEnd.ptEnd, strInsert);
    else if (doc.html.bFound)
        InsertDocText(aLines, doc.html.ptEnd, strInsert);
    else
        InsertDocText(aLines, CPoint(), strInsert);
}

void ApplyBasicHtml(std::vector<std::string> &aLines, std::string_view strTitle, std::string_view strBodyAttributes,
                    bool bUpper)
{
    if (aLines.empty())
        aLines.emplace_back();
    const CDocStructure doc = FindDocStructure(aLines);
    if (!doc.html.bFound && !doc.title.bFound && !doc.body.bFound) {
        InsertDocText(aLines, DocEnd(aLines), Fixed("\r\n\r\n</body>\r\n</html>\r\n", bUpper));
        InsertDocText(aLines, CPoint(),
                      Fixed("<html>\r\n<head>\r\n<title>", bUpper) + std::string(strTitle)
                          + Fixed("</title>\r\n</head>\r\n<body" + std::string(strBodyAttributes) + ">\r\n", bUpper));
        return;
    }
    if (!doc.html.bFound) {
        InsertDocText(aLines, DocEnd(aLines), Fixed("\r\n</html>", bUpper));
        InsertDocText(aLines, CPoint(), Fixed("<html>\r\n", bUpper));
    }
    ApplyTitle(aLines, strTitle, bUpper);
    ApplyBodyTag(aLines, strBodyAttributes, bUpper);
}
