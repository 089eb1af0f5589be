#include "search/plainsearch.h"

#include "text/sjis.h"

#include <array>
#include <cstring>

namespace {

// A rough rank of how common each byte is in source code and prose.
int ByteCommonness(unsigned char c)
{
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[static_cast<std::size_t>(i)] = i >= 0x80 ? 50 : i < 0x20 ? 5 : 40;
        auto set = [&t](const char *psz, unsigned char n) {
            for (; *psz; ++psz)
                t[static_cast<unsigned char>(*psz)] = n;
        };
        set("ABCDEFGHIJKLMNOPQRSTUVWXYZ", 60);
        set("JQXZ", 15);
        set("0123456789", 80);
        set("\"<>#-:'&[]{}", 100);
        set("/*_,.;()=", 120);
        set("\t", 150);
        set(" \n", 255);
        set("etaoinsr", 180);
        set("hldcu", 150);
        set("mfpgwyb", 110);
        set("vk", 70);
        set("xjqz", 30);
        t[0x82] = t[0x83] = 90;
        return t;
    }();
    return table[c];
}

} // namespace

CByteFinder::CByteFinder(std::string_view needle) : m_strNeedle(needle)
{
    for (std::size_t i = 1; i < m_strNeedle.size(); ++i) {
        if (ByteCommonness(static_cast<unsigned char>(m_strNeedle[i]))
            <= ByteCommonness(static_cast<unsigned char>(m_strNeedle[m_nRare])))
            m_nRare = i;
    }
}

const char *CByteFinder::Find(const char *p, std::size_t n) const
{
    const std::size_t nNeedle = m_strNeedle.size();
    if (nNeedle == 0 || n < nNeedle)
        return nullptr;
    const char chRare = m_strNeedle[m_nRare];
    const char *const pLast = p + (n - nNeedle);  // the last place the needle can start
    std::size_t nMisses = 0;
    for (const char *q = p; q <= pLast;) {
        const void *pHit = std::memchr(q + m_nRare, chRare, static_cast<std::size_t>(pLast - q) + 1);
        if (!pHit)
            return nullptr;
        const char *pStart = static_cast<const char *>(pHit) - m_nRare;
        if (std::memcmp(pStart, m_strNeedle.data(), nNeedle) == 0)
            return pStart;
        q = pStart + 1;
        // The rare byte is not rare here: let memmem take over.
        if (++nMisses > 32 + static_cast<std::size_t>(q - p) / 128)
            return static_cast<const char *>(memmem(q, static_cast<std::size_t>(pLast - q) + nNeedle, m_strNeedle.data(), nNeedle));
    }
    return nullptr;
}

void UpperCaseSingleBytes(std::string &text)
{
    SjisUpperAscii(text.data(), text.size());
}

void LowerCaseSingleBytes(std::string &text)
{
    SjisLowerAscii(text.data(), text.size());
}

int FindPlainText(std::string_view text, std::string_view what, int nFrom, int nLimit, bool bWholeWord,
                  bool bLast)
{
    const int nText = static_cast<int>(text.size());
    const int nWhat = static_cast<int>(what.size());
    if (nWhat == 0)
        return -1;
    nFrom = nFrom < 0 ? 0 : nFrom;
    nLimit = nLimit > nText ? nText : nLimit;
    const char *const p = text.data();
    // Character starts are found by walking from the line start, once for
    // the whole call: nChar is the start of the character that nPrev ended.
    int nChar = 0;
    int nPrevChar = -1;
    auto WalkTo = [&](int nPos) {
        while (nChar < nPos) {
            nPrevChar = nChar;
            nChar = SjisNextChar(p, nText, nChar);
        }
        return nChar == nPos;
    };
    int nFound = -1;
    for (int nPos = nFrom; nPos + nWhat <= nLimit;) {
        const void *pHit = memmem(p + nPos, static_cast<std::size_t>(nLimit - nPos), what.data(),
                                  static_cast<std::size_t>(nWhat));
        if (!pHit)
            break;
        nPos = static_cast<int>(static_cast<const char *>(pHit) - p);
        bool bOk = WalkTo(nPos);
        // The byte before is a letter only when it is a character of its own.
        const bool bLetterBefore = bOk && nPos > 0 && nPos - nPrevChar == 1
                                   && IsAsciiAlnum(static_cast<unsigned char>(p[nPos - 1]));
        const int nSavedChar = nChar;
        const int nSavedPrev = nPrevChar;
        bOk = bOk && WalkTo(nPos + nWhat);
        if (bOk && bWholeWord)
            bOk = !bLetterBefore && !(nPos + nWhat < nText && IsAsciiAlnum(static_cast<unsigned char>(p[nPos + nWhat])));
        // Later occurrences may start inside this one: walk on from its start.
        nChar = nSavedChar;
        nPrevChar = nSavedPrev;
        if (bOk) {
            nFound = nPos;
            if (!bLast)
                break;
        }
        ++nPos;
    }
    return nFound;
}
