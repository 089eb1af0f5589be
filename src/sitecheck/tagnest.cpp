#include "sitecheck/tagnest.h"

#include <algorithm>
#include <array>

namespace {

bool IsOneOf(std::string_view strName, std::initializer_list<std::string_view> aNames)
{
    return std::find(aNames.begin(), aNames.end(), strName) != aNames.end();
}

bool IsHeading(std::string_view strName)
{
    return strName.size() == 2 && strName[0] == 'h' && strName[1] >= '1' && strName[1] <= '6';
}

// Start tags that close an open paragraph.
bool ClosesParagraph(std::string_view strName)
{
    return IsHeading(strName)
           || IsOneOf(strName, {"address", "article", "aside", "blockquote", "center", "details", "dialog", "dir",
                                "div", "dl", "dd", "dt", "fieldset", "figcaption", "figure", "footer", "form",
                                "header", "hgroup", "hr", "li", "listing", "main", "menu", "nav", "ol", "p", "pre",
                                "section", "summary", "table", "ul", "xmp"});
}


} // namespace

bool CTagNesting::IsEndOptional(std::string_view strName)
{
    return IsOneOf(strName, {"p", "li", "dt", "dd", "tr", "td", "th", "thead", "tbody", "tfoot", "option",
                             "optgroup", "colgroup"});
}

bool CTagNesting::IsFollowed(std::string_view strName)
{
    return IsHeading(strName) || IsEndOptional(strName)
           || IsOneOf(strName, {"table", "caption", "ul", "ol", "dl", "div", "span", "a", "form", "select",
                                "textarea", "script", "style", "title"});
}

int CTagNesting::FindOpen(std::string_view strName, std::initializer_list<std::string_view> aStops) const
{
    for (int i = static_cast<int>(m_aOpen.size()) - 1; i >= 0; --i) {
        if (m_aOpen[i].strName == strName)
            return i;
        if (IsOneOf(m_aOpen[i].strName, aStops))
            return -1;
    }
    return -1;
}

int CTagNesting::FindOpenInCell(std::string_view strName) const
{
    // A paragraph or a link cannot reach out of a table cell or a table.
    return FindOpen(strName, {"table", "td", "th", "caption", "button", "object"});
}

void CTagNesting::Report(int nLine, std::string strMessage)
{
    CSiteFinding finding;
    finding.nLine = nLine;
    finding.strMessage = std::move(strMessage);
    m_aFindings.push_back(std::move(finding));
}

void CTagNesting::CloseTo(int nIndex)
{
    for (std::size_t i = nIndex + 1; i < m_aOpen.size(); ++i) {
        const COpen &open = m_aOpen[i];
        if (!open.bReported && !IsEndOptional(open.strName))
            Report(open.nLine, "<" + open.strName + "> が閉じられていません");
    }
    m_aOpen.resize(nIndex);
}

void CTagNesting::Start(std::string_view strName, int nLine)
{
    int nOpen = -1;
    if (ClosesParagraph(strName) && (nOpen = FindOpenInCell("p")) >= 0)
        CloseTo(nOpen);
    if (strName == "li" && (nOpen = FindOpen("li", {"ul", "ol", "menu", "table", "td", "th"})) >= 0)
        CloseTo(nOpen);
    if (strName == "dt" || strName == "dd") {
        const int nDt = FindOpen("dt", {"dl", "table", "td", "th"});
        const int nDd = FindOpen("dd", {"dl", "table", "td", "th"});
        if ((nOpen = std::max(nDt, nDd)) >= 0)
            CloseTo(nOpen);
    }
    if (strName == "td" || strName == "th" || strName == "tr" || strName == "thead" || strName == "tbody"
        || strName == "tfoot") {
        const int nTd = FindOpen("td", {"tr", "table"});
        const int nTh = FindOpen("th", {"tr", "table"});
        if ((nOpen = std::max(nTd, nTh)) >= 0)
            CloseTo(nOpen);
    }
    if ((strName == "tr" || strName == "thead" || strName == "tbody" || strName == "tfoot")
        && (nOpen = FindOpen("tr", {"table", "thead", "tbody", "tfoot"})) >= 0)
        CloseTo(nOpen);
    if (strName == "thead" || strName == "tbody" || strName == "tfoot") {
        for (const char *pszGroup : {"thead", "tbody", "tfoot"})
            if ((nOpen = FindOpen(pszGroup, {"table"})) >= 0)
                CloseTo(nOpen);
    }
    if ((strName == "option" || strName == "optgroup") && !m_aOpen.empty() && m_aOpen.back().strName == "option")
        m_aOpen.pop_back();
    if (strName == "optgroup" && !m_aOpen.empty() && m_aOpen.back().strName == "optgroup")
        m_aOpen.pop_back();
    // A heading cannot hold a heading: the browser ends the first where the second starts.
    if (IsHeading(strName) && !m_aOpen.empty() && IsHeading(m_aOpen.back().strName)) {
        if (!m_aOpen.back().bReported)
            Report(m_aOpen.back().nLine, "<" + m_aOpen.back().strName + "> が閉じられていません");
        m_aOpen.pop_back();
    }
    // A link cannot hold a link: the browser ends the first where the second starts.
    if (strName == "a" && (nOpen = FindOpenInCell("a")) >= 0) {
        if (!m_aOpen[nOpen].bReported)
            Report(m_aOpen[nOpen].nLine, "<a> が閉じられていません");
        m_aOpen.erase(m_aOpen.begin() + nOpen);
    }
    if (IsFollowed(strName))
        m_aOpen.push_back(COpen{std::string(strName), nLine, false});
}

void CTagNesting::End(std::string_view strName, int nLine)
{
    if (!IsFollowed(strName))
        return;
    int nOpen = -1;
    for (int i = static_cast<int>(m_aOpen.size()) - 1; i >= 0 && nOpen < 0; --i)
        if (m_aOpen[i].strName == strName)
            nOpen = i;
    if (nOpen < 0) {
        Report(nLine, "</" + std::string(strName) + "> に対応する開始タグがありません");
        return;
    }
    // What opened inside and needs its own end tag: either it is closed
    // later (the order is wrong) or never; one finding says so at this end tag.
    for (std::size_t i = nOpen + 1; i < m_aOpen.size(); ++i) {
        COpen &open = m_aOpen[i];
        if (open.bReported || IsEndOptional(open.strName))
            continue;
        Report(nLine, "閉じる順序が違います: <" + open.strName + ">（" + std::to_string(open.nLine)
                          + "行目）より先に </" + std::string(strName) + "> があります");
        for (std::size_t j = i; j < m_aOpen.size(); ++j)
            m_aOpen[j].bReported = m_aOpen[j].bReported || !IsEndOptional(m_aOpen[j].strName);
        m_aOpen.erase(m_aOpen.begin() + nOpen);
        return;
    }
    CloseTo(nOpen);
}

void CTagNesting::Finish()
{
    for (const COpen &open : m_aOpen)
        if (!open.bReported && !IsEndOptional(open.strName))
            Report(open.nLine, "<" + open.strName + "> が閉じられていません");
    m_aOpen.clear();
}
