// The markup of a client-side image map: an optional <img> that uses the
// map, then <map> with one <area shape="rect"> per rectangle. Built in UTF-8
// from what the dialog holds, then handed to the editor in Shift-JIS.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct CMapArea
{
    // Corners in image pixels, in any order; the markup puts them in order.
    int nLeft = 0;
    int nTop = 0;
    int nRight = 0;
    int nBottom = 0;
    std::string strHref;  // UTF-8; no href attribute when empty
    std::string strAlt;   // UTF-8
};

struct CImageMapContent
{
    std::string strMapName;  // UTF-8
    bool bImageTag = true;
    std::string strImageSrc;  // UTF-8, as the page will refer to the image
    int nWidth = 0;
    int nHeight = 0;
    std::vector<CMapArea> aAreas;
};

// The name a map gets at first: the image file's name without its folder
// and extension, with blanks (which a map name may not hold) as "_".
std::string DefaultMapName(std::string_view strImagePath);

// A text for a double-quoted attribute value: & " < > as entities.
std::string EscapeAttribute(std::string_view strText);

// "left,top,right,bottom" of an area, in order and within the image.
std::string AreaCoords(const CMapArea &area, int nWidth, int nHeight);

// The whole markup, UTF-8, lines ending in CR LF, without a final one.
std::string BuildImageMapMarkup(const CImageMapContent &map);

// UTF-8 markup in Shift-JIS; a character without a Shift-JIS form becomes
// a numeric character reference, so that nothing of the text is lost.
std::string MarkupToSjis(std::string_view strUtf8);
