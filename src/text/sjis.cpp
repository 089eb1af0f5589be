#include "text/sjis.h"

ESjisByteKind SjisByteKindAt(const char *pszLine, int nLength, int nPos)
{
    if (nPos < 0 || nPos >= nLength)
        return SJIS_SINGLE;
    // A byte outside the lead-byte range always ends a character (as a single
    // byte or as a trail byte), so a character starts right after the nearest
    // such byte before nPos. The lead-range bytes between it and nPos are all
    // valid trail bytes too, so they pair off two by two: an odd count leaves
    // the byte before nPos as a lead byte, which takes nPos if nPos can be a
    // trail byte. This looks back only over the run of lead-range bytes.
    int nRun = 0;
    for (int i = nPos - 1; i >= 0 && IsSjisLeadByte(static_cast<unsigned char>(pszLine[i])); --i)
        ++nRun;
    if (nRun % 2 == 1 && IsSjisTrailByte(static_cast<unsigned char>(pszLine[nPos])))
        return SJIS_TRAIL;
    return SjisCharLength(pszLine + nPos, static_cast<std::size_t>(nLength - nPos)) == 2 ? SJIS_LEAD
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

namespace {

template <typename Fold>
void FoldSingleBytes(char *p, std::size_t n, Fold fold)
{
    for (std::size_t i = 0; i < n;) {
        const int nLen = SjisCharLength(p + i, n - i);
        if (nLen == 1)
            p[i] = static_cast<char>(fold(static_cast<unsigned char>(p[i])));
        i += static_cast<std::size_t>(nLen);
    }
}

} // namespace

void SjisUpperAscii(char *p, std::size_t n)
{
    FoldSingleBytes(p, n, [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 0x20 : c; });
}

void SjisLowerAscii(char *p, std::size_t n)
{
    FoldSingleBytes(p, n, [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 0x20 : c; });
}
