// Following which elements of a page are open, to find those left open and
// those closed in the wrong order. End tags that HTML lets an author leave
// out (p, li, dt, dd, tr, td, th, the row groups, option, optgroup) are
// closed the way a browser closes them: by the next item, by the parent's
// end, or for p by a block that starts. Elements whose end tag is required
// and that are not closed are reported once, at the line where they open.
#pragma once

#include "sitecheck/findings.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

class CTagNesting
{
public:
    // Names in lower case. Void elements and self-closed tags are not given.
    void Start(std::string_view strName, int nLine);
    void End(std::string_view strName, int nLine);
    // The elements still open at the end of the page.
    void Finish();

    const std::vector<CSiteFinding> &GetFindings() const { return m_aFindings; }

    // Whether the end tag of an element may be left out.
    static bool IsEndOptional(std::string_view strName);

private:
    struct COpen
    {
        std::string strName;
        int nLine = 0;
        bool bReported = false;  // already named in a finding
    };
    // Whether the check follows the element at all.
    static bool IsFollowed(std::string_view strName);
    // The nearest open element named strName above the first of aStops; -1 when none.
    int FindOpen(std::string_view strName, std::initializer_list<std::string_view> aStops) const;
    int FindOpenInCell(std::string_view strName) const;
    // Closes the element at nIndex and everything opened inside it; those
    // whose end tag is required are reported as left open.
    void CloseTo(int nIndex);
    void Report(int nLine, std::string strMessage);

    std::vector<COpen> m_aOpen;
    std::vector<CSiteFinding> m_aFindings;
};
