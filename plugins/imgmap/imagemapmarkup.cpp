#include "imagemapmarkup.h"

#include "text/codec.h"

#include <algorithm>

std::string DefaultMapName(std::string_view strImagePath)
{
    const std::size_t nSlash = strImagePath.rfind('/');
    std::string_view strName = nSlash == std::string_view::npos ? strImagePath : strImagePath.substr(nSlash + 1);
    const std::size_t nDot = strName.rfind('.');
    if (nDot != std::string_view::npos && nDot > 0)
        strName = strName.substr(0, nDot);
    std::string strMap(strName);
    for (char &c : strMap)
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f')
            c = '_';
    return strMap.empty() ? std::string("map") : strMap;
}

std::string EscapeAttribute(std::string_view strText)
{
    std::string s;
    s.reserve(strText.size());
    for (const char c : strText) {
        switch (c) {
        case '&':
            s += "&amp;";
            break;
        case '"':
            s += "&quot;";
            break;
        case '<':
            s += "&lt;";
            break;
        case '>':
            s += "&gt;";
            break;
        default:
            s += c;
        }
    }
    return s;
}

std::string AreaCoords(const CMapArea &area, int nWidth, int nHeight)
{
    auto clamp = [](int n, int nLimit) { return std::clamp(n, 0, std::max(nLimit, 0)); };
    const int nLeft = clamp(std::min(area.nLeft, area.nRight), nWidth);
    const int nRight = clamp(std::max(area.nLeft, area.nRight), nWidth);
    const int nTop = clamp(std::min(area.nTop, area.nBottom), nHeight);
    const int nBottom = clamp(std::max(area.nTop, area.nBottom), nHeight);
    return std::to_string(nLeft) + "," + std::to_string(nTop) + "," + std::to_string(nRight) + ","
           + std::to_string(nBottom);
}

std::string BuildImageMapMarkup(const CImageMapContent &map)
{
    const std::string strName = EscapeAttribute(map.strMapName);
    std::string s;
    if (map.bImageTag) {
        s += "<img src=\"" + EscapeAttribute(map.strImageSrc) + "\" width=\"" + std::to_string(map.nWidth)
             + "\" height=\"" + std::to_string(map.nHeight) + "\" usemap=\"#" + strName + "\">\r\n";
    }
    s += "<map name=\"" + strName + "\">\r\n";
    for (const CMapArea &area : map.aAreas) {
        s += "<area shape=\"rect\" coords=\"" + AreaCoords(area, map.nWidth, map.nHeight) + "\"";
        if (!area.strHref.empty())
            s += " href=\"" + EscapeAttribute(area.strHref) + "\"";
        s += " alt=\"" + EscapeAttribute(area.strAlt) + "\">\r\n";
    }
    s += "</map>";
    return s;
}

std::string MarkupToSjis(std::string_view strUtf8)
{
    std::string strOut;
    strOut.reserve(strUtf8.size());
    for (std::size_t i = 0; i < strUtf8.size();) {
        const auto c = static_cast<unsigned char>(strUtf8[i]);
        if (c < 0x80) {
            strOut += static_cast<char>(c);
            ++i;
            continue;
        }
        // One UTF-8 sequence: its length from the first byte, its code point
        // from its continuation bytes; a broken one is a single "?".
        const std::size_t nLength = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        char32_t cp = nLength == 4 ? c & 0x07 : nLength == 3 ? c & 0x0F : c & 0x1F;
        std::size_t nGood = 1;
        while (nGood < nLength && i + nGood < strUtf8.size()
               && (static_cast<unsigned char>(strUtf8[i + nGood]) & 0xC0) == 0x80) {
            cp = cp << 6 | (static_cast<unsigned char>(strUtf8[i + nGood]) & 0x3F);
            ++nGood;
        }
        if (nLength == 1 || nGood < nLength) {
            strOut += '?';
            i += nGood;
            continue;
        }
        int nUnmappable = 0;
        const std::string strChar = Utf8ToCp932(strUtf8.substr(i, nLength), &nUnmappable);
        if (nUnmappable == 0)
            strOut += strChar;
        else
            strOut += "&#" + std::to_string(static_cast<unsigned long>(cp)) + ";";
        i += nLength;
    }
    return strOut;
}
