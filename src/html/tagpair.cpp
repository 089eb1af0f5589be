#include "html/tagpair.h"

std::string g_strLastTagOpen;
std::string g_strLastTagClose;

void RememberTagPair(std::string_view strOpen, std::string_view strClose, bool bTagMemory)
{
    if (bTagMemory) {
        g_strLastTagOpen += strOpen;
        g_strLastTagClose.insert(0, strClose);
    } else {
        g_strLastTagOpen = strOpen;
        g_strLastTagClose = strClose;
    }
}

void ForgetTagPair()
{
    g_strLastTagOpen.clear();
    g_strLastTagClose.clear();
}

std::vector<std::string> WrapLinePieces(std::string_view strOpen, std::vector<std::string> aInner,
                                        std::string_view strClose)
{
    if (aInner.empty())
        aInner.emplace_back();
    std::vector<std::string> aPieces;
    const std::vector<std::string_view> aOpen = CCrystalTextBuffer::SplitAtLineBreaks(strOpen);
    const std::vector<std::string_view> aClose = CCrystalTextBuffer::SplitAtLineBreaks(strClose);
    aPieces.reserve(aOpen.size() + aInner.size() + aClose.size());
    aPieces.assign(aOpen.begin(), aOpen.end());
    aPieces.back() += aInner.front();
    for (std::size_t i = 1; i < aInner.size(); ++i)
        aPieces.push_back(std::move(aInner[i]));
    aPieces.back() += aClose.front();
    aPieces.insert(aPieces.end(), aClose.begin() + 1, aClose.end());
    return aPieces;
}

CTextExtent MeasureInsertedText(std::string_view text)
{
    const std::vector<std::string_view> aPieces = CCrystalTextBuffer::SplitAtLineBreaks(text);
    return {static_cast<int>(aPieces.size()) - 1, static_cast<int>(aPieces.back().size())};
}

CTagPairSelection PlaceAfterTagPair(CPoint ptStart, CPoint ptEnd, CTextExtent open, CTextExtent close,
                                    bool bReselect)
{
    const bool bOneLine = ptStart.y == ptEnd.y;
    // Where the wrapped text begins and ends once the opening text stands before it.
    const CPoint ptInnerStart(open.nLineBreaks > 0 ? open.nLastLength : ptStart.x + open.nLastLength,
                              ptStart.y + open.nLineBreaks);
    CPoint ptInnerEnd(ptEnd.x, ptEnd.y + open.nLineBreaks);
    if (bOneLine)
        ptInnerEnd.x = ptInnerStart.x + (ptEnd.x - ptStart.x);
    if (bReselect)
        return {ptInnerStart, ptInnerEnd};
    const CPoint ptCaret(close.nLineBreaks > 0 ? close.nLastLength : ptInnerEnd.x + close.nLastLength,
                         ptInnerEnd.y + close.nLineBreaks);
    return {ptCaret, ptCaret};
}
