// What the site check reports: one finding per fault, each tied to a page
// and a line, in the "file(line): message" form that the results bar jumps
// from and that wrenpad-tool check prints.
#pragma once

#include <string>

struct CSiteFinding
{
    std::string strPath;     // the page, relative to the folder the check names paths from (UTF-8)
    int nLine = 0;           // 1-based; 0 for a finding about the whole file or folder
    bool bNote = false;      // a note (not checked, outside the site) rather than an error
    std::string strMessage;  // UTF-8
};

// The line as the results bar shows it (UTF-8): "path(line): message", or
// "path: message" without a line. Notes begin with "参考: ". Control bytes
// become spaces, so that a finding stays one line.
std::string FormatFinding(const CSiteFinding &finding);
