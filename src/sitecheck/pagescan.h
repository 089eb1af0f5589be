// Reading one HTML page for the site check: the references it makes, the
// anchors it offers, and the faults that need no other file (a charset
// declaration that does not match the file's own code, elements left open
// or closed in the wrong order, an id given twice).
//
// A page is read in its own code. UTF-8 pages are scanned in their own bytes,
// so that a file name with any character survives; Shift-JIS pages too, and
// EUC-JP and JIS pages in the Shift-JIS text they decode to. The scan tests
// only ASCII bytes below 0x40 ('<', '>', '=', quotes, blanks, '/') as
// delimiters, which are never the second byte of a Shift-JIS character; where
// it looks for letters (the end of a script, "url(" in a style) it steps over
// double-byte characters.
#pragma once

#include "sitecheck/findings.h"
#include "text/filecode.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

enum ESiteRefKind
{
    SITEREF_LINK,   // a, area, link, form, frame, iframe, object, embed, script
    SITEREF_IMAGE,  // img src: its width and height are checked against the picture
    SITEREF_STYLE,  // url(...) in a style attribute or element, background
};

struct CSiteRef
{
    ESiteRefKind eKind = SITEREF_LINK;
    std::string strValue;  // as written, in UTF-8, entities of the attribute decoded
    int nLine = 0;
    std::string strWidth;  // img only: the attributes as written (empty when absent)
    std::string strHeight;
};

struct CSitePageScan
{
    ETextCode eCode = ETextCode::Sjis;
    bool bBase = false;  // the page has <base href>: relative references are not its own
    std::vector<CSiteRef> aRefs;
    // The ids and a names (UTF-8), with the line of the first.
    std::unordered_map<std::string, int> anchors;
    // The page's own faults, nPath left empty, ordered by line.
    std::vector<CSiteFinding> aFindings;
};

// Scans a page from the bytes of its file. bAnchorsOnly skips what only the
// page's own report needs (faults, references), for a page that is only the
// target of a fragment.
CSitePageScan ScanSitePage(std::string_view fileBytes, bool bAnchorsOnly = false);

// The code a charset name stands for; false for a name this program does not
// know. "UTF-8" stands for both UTF-8 codes.
bool CharsetToTextCode(std::string_view strName, ETextCode &eCode);
