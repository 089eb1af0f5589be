#include "text/sjis.h"

ESjisByteKind SjisByteKindAt(const char *pszLine, int nLength, int nPos)
{
    if (nPos < 0 || nPos >= nLength)
        return SJIS_SINGLE;
    int i = 0;
    while (i < nPos) {
        i += SjisCharLength(pszLine + i, static_cast<std::size_t>(nLength - i));
    }
    if (i > nPos)
        return SJIS_TRAIL;
    return SjisCharLength(pszLine + i, static_cast<std::size_t>(nLength - i)) == 2 ? SJIS_LEAD
                                                                                  : SJIS_SINGLE;
}

int SjisCharStart(const char *pszLine, int nLength, int nPos)
{
    if (nPos <= 0)
        return 0;
    if (nPos >= nLength)
        return nLength;
    return SjisByteKindAt(pszLine, nLength, nPos) == SJIS_TRAIL ? nPos - 1 : nPos;
}

int SjisPrevChar(const char *pszLine, int nLength, int nPos)
{
    if (nPos <= 0)
        return 0;
    if (nPos > nLength)
        nPos = nLength;
    int i = 0;
    int prev = 0;
    while (i < nPos) {
        prev = i;
        i += SjisCharLength(pszLine + i, static_cast<std::size_t>(nLength - i));
    }
    // i > nPos only if nPos was a trail byte; the character before it is the one
    // before its lead byte.
    if (i > nPos)
        return SjisPrevChar(pszLine, nLength, prev);
    return prev;
}
