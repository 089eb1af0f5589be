// Wrapping a selection in an opening and a closing text: the remembered pair
// that the repeat command inserts again, the line pieces of the wrapped text,
// and where the caret or the selection goes afterwards.
#pragma once

#include "text/textbuffer.h"

#include <string>
#include <string_view>
#include <vector>

// The last pair inserted with remembering, shared by every view for the
// whole process. In tag-memory mode pairs pile up, the later one inside.
extern std::string g_strLastTagOpen;
extern std::string g_strLastTagClose;

// Remembers a pair: added inside the remembered one with bTagMemory, else in
// its place.
void RememberTagPair(std::string_view strOpen, std::string_view strClose, bool bTagMemory);
void ForgetTagPair();

// The line pieces of strOpen + the selected line pieces + strClose, with the
// line breaks the buffer finds in the two texts (a CR, or CR LF).
std::vector<std::string> WrapLinePieces(std::string_view strOpen, std::vector<std::string> aInner,
                                        std::string_view strClose);

// How an inserted text ends: the line breaks in it and the length of what
// follows the last one (the whole length when there is none).
struct CTextExtent
{
    int nLineBreaks = 0;
    int nLastLength = 0;
};
CTextExtent MeasureInsertedText(std::string_view text);

// Where a wrap of ptStart..ptEnd leaves the selection: with bReselect exactly
// the wrapped text, else an empty selection behind the closing text.
struct CTagPairSelection
{
    CPoint ptStart;
    CPoint ptEnd;
};
CTagPairSelection PlaceAfterTagPair(CPoint ptStart, CPoint ptEnd, CTextExtent open, CTextExtent close,
                                    bool bReselect);
