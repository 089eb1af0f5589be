#include "html/lineinsert.h"

namespace {

std::string Repeated(std::string_view strUnit, int nCount)
{
    std::string s;
    if (nCount > 0)
        s.reserve(strUnit.size() * static_cast<std::size_t>(nCount));
    for (int i = 0; i < nCount; ++i)
        s += strUnit;
    return s;
}

} // namespace

std::string LinePieceText(ELinePiece eKind, int nCount, std::string_view strText, bool bUpper)
{
    switch (eKind) {
    case LINEPIECE_BR:
        return Repeated(bUpper ? "<BR>" : "<br>", nCount);
    case LINEPIECE_TAB:
        return Repeated("\t", nCount);
    case LINEPIECE_BLANK:
        return Repeated(" ", nCount);
    case LINEPIECE_TEXT:
        return std::string(strText);
    }
    return std::string();
}

void AddToLines(std::vector<std::string> &aLines, std::string_view strHead, std::string_view strTail)
{
    for (std::string &strLine : aLines) {
        strLine.insert(0, strHead);
        strLine += strTail;
    }
}
