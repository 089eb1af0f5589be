// Colour indices: what a coloured run means. The parse routines emit them and
// the view's colour table turns them into colours.
#pragma once

enum
{
    COLORINDEX_WHITESPACE = 0,
    COLORINDEX_BKGND = 1,
    COLORINDEX_NORMALTEXT = 2,
    COLORINDEX_SELMARGIN = 3,
    COLORINDEX_SELBKGND = 4,
    COLORINDEX_SELTEXT = 5,
    COLORINDEX_KEYWORD = 6,
    COLORINDEX_COMMENT = 7,
    COLORINDEX_NUMBER = 8,
    COLORINDEX_OPERATOR = 9,
    COLORINDEX_STRING = 10,
    COLORINDEX_PREPROCESSOR = 11,
    COLORINDEX_TAG = 18,
    COLORINDEX_TAGOPTION = 19,
    COLORINDEX_KEYWORD2 = 22,
};
