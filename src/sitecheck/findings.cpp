#include "sitecheck/findings.h"

std::string FormatFinding(const CSiteFinding &finding)
{
    std::string strLine = finding.strPath;
    if (finding.nLine > 0)
        strLine += "(" + std::to_string(finding.nLine) + ")";
    strLine += ": ";
    if (finding.bNote)
        strLine += "参考: ";
    strLine += finding.strMessage;
    for (char &c : strLine)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    return strLine;
}
