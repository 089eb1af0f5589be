// The 16-pixel images of the margin and the marks: numbered bookmarks 1-9
// (images 3-11) and 0 (12), the plain bookmark (13), the end-of-line mark in a
// wide and a narrow form (14, 15) and the tab mark likewise (16, 17).
// Images 0-2 are empty. Drawn once, on first use.
#pragma once

#include <QPixmap>

class CMarkImages
{
public:
    static constexpr int SIZE = 16;
    static constexpr int COUNT = 18;
    static const QPixmap &Get(int nImage);
};
