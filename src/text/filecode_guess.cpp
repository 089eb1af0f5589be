// The guesses between the codes that share bytes: Shift-JIS half-width
// katakana against EUC-JP, and what the start of a file already decides.
#include "text/filecode.h"

#include "text/filecode_tables.h"
#include "text/kanji.h"
#include "text/sjis.h"
#include "text/utf8check.h"

namespace {

bool IsEucByte(unsigned char c)
{
    return c >= 0xA1 && c <= 0xFE;
}

// Whether every byte beyond ASCII is a character of Shift-JIS, the
// user-defined area (0xF040-0xF9FC) left out: a text in another code lands
// there far more often than a Shift-JIS text uses it.
bool IsCleanSjis(const unsigned char *p, const unsigned char *pEnd, const CFileCodeTables &t)
{
    while (p < pEnd) {
        const unsigned char c = *p;
        if (c < 0x80 || IsSjisKana(c)) {
            ++p;
            continue;
        }
        if (pEnd - p < 2 || !IsSjisLeadByte(c) || !IsSjisTrailByte(p[1]) || (c >= 0xF0 && c <= 0xF9)
            || t.aDouble[static_cast<std::size_t>(c * 256 + p[1])] == 0)
            return false;
        p += 2;
    }
    return true;
}

} // namespace

bool EucReadingIsLikelier(std::string_view bytes)
{
    const CFileCodeTables &t = FileCodeTables();
    const auto *const pBegin = reinterpret_cast<const unsigned char *>(bytes.data());
    const unsigned char *const pEnd = pBegin + bytes.size();
    // The EUC-JP reading: its characters, those in the rows of punctuation,
    // hiragana and katakana (and half-width katakana), and those no
    // Shift-JIS code has.
    std::size_t nChars = 0;
    std::size_t nKana = 0;
    std::size_t nUnknown = 0;
    for (const unsigned char *p = pBegin; p < pEnd;) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
        } else if (c == 0x8E && pEnd - p >= 2 && IsSjisKana(p[1])) {
            ++nChars;
            ++nKana;
            p += 2;
        } else if (c == 0x8F && pEnd - p >= 3 && IsEucByte(p[1]) && IsEucByte(p[2])) {
            ++nChars;
            p += 3;
        } else if (IsEucByte(c) && pEnd - p >= 2 && IsEucByte(p[1])) {
            ++nChars;
            if (c == 0xA1 || c == 0xA4 || c == 0xA5)
                ++nKana;
            const KanjiBytePair s = JisToSjisPair(c & 0x7F, p[1] & 0x7F);
            if (t.aDouble[static_cast<std::size_t>(s.c1 * 256 + s.c2)] == 0)
                ++nUnknown;
            p += 2;
        } else {
            return false;
        }
    }
    if (!IsCleanSjis(pBegin, pEnd, t))
        return true;
    if (nUnknown > 0)
        return false;
    return nKana > 0 && nKana * 8 >= nChars;
}

bool BytesShowSjis(std::string_view part)
{
    if (!IsNeverUtf8(part))
        return false;
    bool bDecided = false;
    return DetectKanjiCode(part, &bDecided) == KANJI_SJIS && bDecided;
}
