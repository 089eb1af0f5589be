#include "text/filecode.h"

#include "text/filecode_detail.h"
#include "text/filecode_tables.h"
#include "text/iconvstream.h"
#include "text/kanji.h"
#include "text/sjis.h"
#include "text/utf8check.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <strings.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr unsigned char ESC = 0x1B;
constexpr unsigned char SO = 0x0E;
constexpr unsigned char SI = 0x0F;
constexpr std::string_view BOM = "\xEF\xBB\xBF";

struct CCodeNames
{
    ETextCode eCode;
    const char *pszTag;
    const char *pszCharset;
    const char *pszLabel;
};

constexpr CCodeNames CODE_NAMES[TEXT_CODE_COUNT] = {
    {ETextCode::Sjis, "SJIS", "Shift_JIS", "Shift-JIS"},
    {ETextCode::Utf8, "UTF8", "UTF-8", "UTF-8"},
    {ETextCode::Utf8Bom, "UTF8BOM", "UTF-8", "UTF-8 (BOM付き)"},
    {ETextCode::Euc, "EUC", "EUC-JP", "EUC-JP"},
    {ETextCode::Jis, "JIS", "ISO-2022-JP", "JIS"},
};

const CCodeNames &NamesOf(ETextCode eCode)
{
    return CODE_NAMES[static_cast<int>(eCode)];
}

// Whether a word holds a zero byte (it may also flag a byte above a real one).
inline bool HasZeroByte(std::uint64_t w)
{
    return ((w - 0x0101010101010101ULL) & ~w & 0x8080808080808080ULL) != 0;
}

#if defined(__SSE2__)
// The bytes of the 16 at p that end a plain run, one bit each: a byte with
// its high bit set, ESC, or SO and SI (the bytes that read as SI with the
// lowest bit set).
int PlainStops16(const unsigned char *p)
{
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
    const __m128i esc = _mm_cmpeq_epi8(v, _mm_set1_epi8(0x1B));
    const __m128i shift = _mm_cmpeq_epi8(_mm_or_si128(v, _mm_set1_epi8(0x01)), _mm_set1_epi8(0x0F));
    return _mm_movemask_epi8(_mm_or_si128(v, _mm_or_si128(esc, shift)));
}
#endif

// The length of the run of plain bytes at p: below 0x80 and none of ESC, SO
// and SI. Most files are plain all through, and every file searched starts
// with this, so whole cache lines are tested at once where the machine can.
std::size_t PlainRun(const unsigned char *p, std::size_t n)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    while (n - i >= 64
           && (PlainStops16(p + i) | PlainStops16(p + i + 16) | PlainStops16(p + i + 32) | PlainStops16(p + i + 48)) == 0)
        i += 64;
    for (; n - i >= 16; i += 16) {
        if (const int nStops = PlainStops16(p + i))
            return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(nStops)));
    }
#endif
    for (;;) {
        while (n - i >= 8) {
            std::uint64_t w;
            std::memcpy(&w, p + i, 8);
            // SO and SI are the bytes that read as SI with the lowest bit set.
            if ((w & 0x8080808080808080ULL) || HasZeroByte(w ^ 0x1B1B1B1B1B1B1B1BULL)
                || HasZeroByte((w | 0x0101010101010101ULL) ^ 0x0F0F0F0F0F0F0F0FULL))
                break;
            i += 8;
        }
        // The word that stopped the run, byte by byte.
        for (const std::size_t nStop = std::min(n, i + 8); i < nStop; ++i) {
            const unsigned char c = static_cast<unsigned char>(p[i]);
            if (c >= 0x80 || c == 0x1B || c == 0x0E || c == 0x0F)
                return i;
        }
        if (i >= n)
            return n;
    }
}

// Collects the decoded text and the first problem.
class CDecodeOutput
{
public:
    CDecodeOutput(CDecodedText &result, std::string_view bytes) : m_result(result), m_bytes(bytes)
    {
        m_result.strText.resize(bytes.size());
        m_p = m_result.strText.data();
    }
    void Put(char ch) { *m_p++ = ch; }
    void Put(const unsigned char *p, std::size_t n)
    {
        std::memcpy(m_p, p, n);
        m_p += n;
    }
    void PutCode(std::uint16_t nCode)
    {
        if (nCode < 0x100) {
            *m_p++ = static_cast<char>(nCode);
        } else {
            *m_p++ = static_cast<char>(nCode >> 8);
            *m_p++ = static_cast<char>(nCode & 0xFF);
        }
    }
    void Problem(ETextProblem eProblem, const unsigned char *pAt, char32_t c = 0, char32_t cOther = 0)
    {
        NoteFirstProblem(m_result, m_bytes, pAt, eProblem, c, cOther);
    }
    // A character Shift-JIS lacks, by its code in the table.
    void PutExtra(char32_t c, const unsigned char *pAt)
    {
        const std::uint16_t nCode = m_result.extra.Add(c);
        if (nCode == 0) {
            Problem(ETextProblem::TooManyExtra, pAt, c);
            Put('?');
        } else {
            PutCode(nCode);
        }
    }
    // A JIS X 0208 pair (seven bits each): its Shift-JIS code, or for the
    // user-defined rows (85-94, where Shift-JIS has no NEC-selected IBM
    // character) the file's own character through the table.
    void PutJisPair(const CFileCodeTables &t, const unsigned char *pAt, unsigned char row, unsigned char cell)
    {
        const KanjiBytePair s = JisToSjisPair(row, cell);
        const auto nCode = static_cast<std::uint16_t>(s.c1 * 256 + s.c2);
        if (t.aDouble[nCode] == 0 && row >= 0x75) {
            PutExtra(USER_AREA_FIRST + static_cast<char32_t>((row - 0x75) * 94 + (cell - 0x21)), pAt);
        } else if (t.aDouble[nCode] == 0) {
            Problem(ETextProblem::NoSjisForm, pAt);
            Put('?');
        } else {
            PutCode(nCode);
        }
    }
    // A JIS X 0212 pair (seven bits each): always a character of the table,
    // since its file writes it in its own place.
    void Put0212Pair(const unsigned char *pAt, unsigned char row, unsigned char cell)
    {
        const char32_t c = JisX0212Table().aChars[static_cast<std::size_t>((row - 0x21) * 94 + (cell - 0x21))];
        if (c == 0) {
            Problem(ETextProblem::NoSjisForm, pAt);
            Put('?');
        } else {
            PutExtra(c, pAt);
        }
    }
    void Done() { m_result.strText.resize(static_cast<std::size_t>(m_p - m_result.strText.data())); }

private:
    CDecodedText &m_result;
    std::string_view m_bytes;
    char *m_p;
};

// Decodes UTF-8 (after any byte-order mark). With bBail a malformed sequence
// stops the work at once: the caller tries the other codes. pbWide says
// whether a character beyond ASCII was seen.
void DecodeUtf8(std::string_view bytes, CDecodedText &result, bool bBail, bool *pbWide)
{
    CUtf8StreamDecoder decoder(bytes, bBail, result.eCode == ETextCode::Utf8Bom);
    result.strText.resize(bytes.size());
    result.strText.resize(decoder.Decode(result.strText.data(), result.strText.size()));
    CopyDecodeFindings(result, decoder.Result());
    if (pbWide)
        *pbWide = decoder.IsWide();
}

bool IsEucByte(unsigned char c)
{
    return c >= 0xA1 && c <= 0xFE;
}

void DecodeEuc(std::string_view bytes, CDecodedText &result)
{
    const CFileCodeTables &t = FileCodeTables();
    CDecodeOutput out(result, bytes);
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const unsigned char *const pEnd = p + bytes.size();
    while (p < pEnd) {
        const unsigned char c = *p;
        if (c < 0x80) {
            const std::size_t n = AsciiRun(p, pEnd);
            out.Put(p, n);
            p += n;
        } else if (c == 0x8E && pEnd - p >= 2 && IsSjisKana(p[1])) {
            out.Put(static_cast<char>(p[1]));
            p += 2;
        } else if (c == 0x8F && pEnd - p >= 3 && IsEucByte(p[1]) && IsEucByte(p[2])) {
            out.Put0212Pair(p, p[1] & 0x7F, p[2] & 0x7F);
            p += 3;
        } else if (IsEucByte(c) && pEnd - p >= 2 && IsEucByte(p[1])) {
            out.PutJisPair(t, p, c & 0x7F, p[1] & 0x7F);
            p += 2;
        } else {
            out.Problem(ETextProblem::Malformed, p);
            out.Put('?');
            ++p;
        }
    }
    out.Done();
}

// bWayBack: also find out whether the writer would give the same bytes back
// (a second pass), which only a text to be saved needs.
void DecodeJis(std::string_view bytes, CDecodedText &result, bool bWayBack = true)
{
    const CFileCodeTables &t = FileCodeTables();
    CDecodeOutput out(result, bytes);
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const unsigned char *const pEnd = p + bytes.size();
    enum { ASCII, KANJI, KANA, KANJI0212 } eMode = ASCII;
    bool bShift = false;
    bool bSeenKanjiIn = false;
    bool bSeenAsciiIn = false;
    bool bSeenKana = false;
    while (p < pEnd) {
        if (eMode == ASCII && !bShift) {
            const std::size_t n = PlainRun(p, static_cast<std::size_t>(pEnd - p));
            out.Put(p, n);
            p += n;
            if (p == pEnd)
                break;
        } else if (eMode == KANJI && !bShift) {
            // A run of kanji, pair by pair, until anything else.
            while (pEnd - p >= 2 && p[0] >= 0x21 && p[0] <= 0x7E && p[1] >= 0x21 && p[1] <= 0x7E) {
                const KanjiBytePair s = JisToSjisPair(p[0], p[1]);
                const auto nCode = static_cast<std::uint16_t>(s.c1 * 256 + s.c2);
                if (t.aDouble[nCode] == 0)
                    break;
                out.PutCode(nCode);
                p += 2;
            }
            if (p == pEnd)
                break;
        }
        const unsigned char c = *p;
        if (c == ESC) {
            const std::size_t nLeft = static_cast<std::size_t>(pEnd - p);
            if (nLeft >= 3 && p[1] == '$' && (p[2] == 'B' || p[2] == '@')) {
                eMode = KANJI;
                if (!bSeenKanjiIn)
                    result.forms.chKanjiIn = static_cast<char>(p[2]);
                bSeenKanjiIn = true;
                p += 3;
                continue;
            }
            if (nLeft >= 4 && p[1] == '$' && p[2] == '(' && p[3] == 'D') {
                eMode = KANJI0212;
                p += 4;
                continue;
            }
            if (nLeft >= 3 && p[1] == '(' && (p[2] == 'B' || p[2] == 'J')) {
                eMode = ASCII;
                if (!bSeenAsciiIn)
                    result.forms.chAsciiIn = static_cast<char>(p[2]);
                bSeenAsciiIn = true;
                p += 3;
                continue;
            }
            if (nLeft >= 3 && p[1] == '(' && p[2] == 'I') {
                eMode = KANA;
                if (!bSeenKana)
                    result.forms.bKanaShift = false;
                bSeenKana = true;
                p += 3;
                continue;
            }
            out.Problem(ETextProblem::Malformed, p);
            out.Put('?');
            ++p;
        } else if (c == SO || c == SI) {
            bShift = c == SO;
            if (bShift && !bSeenKana)
                result.forms.bKanaShift = true;
            bSeenKana = bSeenKana || bShift;
            ++p;
        } else if (c >= 0x80) {
            out.Problem(ETextProblem::Malformed, p);
            out.Put('?');
            ++p;
        } else if ((bShift || eMode == KANA) && c >= 0x21 && c <= 0x5F) {
            out.Put(static_cast<char>(c | 0x80));
            ++p;
        } else if (!bShift && (eMode == KANJI || eMode == KANJI0212) && c >= 0x21 && c <= 0x7E) {
            if (pEnd - p < 2 || p[1] < 0x21 || p[1] > 0x7E) {
                out.Problem(ETextProblem::Malformed, p);
                out.Put('?');
                ++p;
                continue;
            }
            if (eMode == KANJI)
                out.PutJisPair(t, p, c, p[1]);
            else
                out.Put0212Pair(p, c, p[1]);
            p += 2;
        } else {
            out.Put(static_cast<char>(c));
            ++p;
        }
    }
    out.Done();
    if (!result.IsExact() || !bWayBack)
        return;
    // Escape sequences may stand where this writer would not put them (a
    // redundant one, kanji left open at the end); then the file would not
    // come back the same.
    std::string again;
    if (!EncodeFileText(result.strText, ETextCode::Jis, result.forms, again, nullptr, &result.extra)
        || again != bytes) {
        std::size_t i = 0;
        while (i < again.size() && i < bytes.size() && again[i] == bytes[i])
            ++i;
        result.eProblem = ETextProblem::Irregular;
        result.nProblemLine = LineOfOffset(bytes, i);
    }
}

// The code the editor reads a file in. Where finding it meant decoding the
// text (EUC-JP and JIS, which are taken only when they decode cleanly), the
// text goes to pDecoded, so that it is not decoded twice; bWayBack as for
// DecodeJis.
ETextCode DetectCode(std::string_view bytes, ETextCode eAscii, CDecodedText *pDecoded, bool bWayBack,
                     const CExtraChars *pSeed = nullptr)
{
    if (bytes.starts_with(BOM)) {
        if (CheckUtf8(bytes.substr(BOM.size())) != EUtf8Check::Invalid)
            return ETextCode::Utf8Bom;
    } else if (CheckUtf8(bytes) == EUtf8Check::Wide) {
        return ETextCode::Utf8;
    }
    const int nKanji = DetectKanjiCode(bytes);
    if (nKanji == KANJI_SJIS || nKanji == KANJI_UNKNOWN) {
        // A text of nothing but ASCII (without escape sequences) is taken in
        // the code of new documents.
        const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
        return AsciiRun(p, p + bytes.size()) == bytes.size() ? eAscii : ETextCode::Sjis;
    }
    // Half-width katakana in Shift-JIS pair up into what EUC-JP reads as
    // kanji: such a text is EUC-JP only when that reading is the likelier.
    if (nKanji == KANJI_EUC && !EucReadingIsLikelier(bytes))
        return ETextCode::Sjis;
    CDecodedText decoded;
    if (pSeed)
        decoded.extra = *pSeed;
    decoded.eCode = nKanji == KANJI_EUC ? ETextCode::Euc : ETextCode::Jis;
    if (decoded.eCode == ETextCode::Euc)
        DecodeEuc(bytes, decoded);
    else
        DecodeJis(bytes, decoded, bWayBack);
    if (decoded.eProblem == ETextProblem::Malformed)
        return ETextCode::Sjis;
    if (pDecoded)
        *pDecoded = std::move(decoded);
    return nKanji == KANJI_EUC ? ETextCode::Euc : ETextCode::Jis;
}

} // namespace

int LineOfOffset(std::string_view bytes, std::size_t nOffset)
{
    int nLine = 1;
    for (std::size_t i = 0; i < nOffset && i < bytes.size(); ++i) {
        if (bytes[i] == '\n')
            ++nLine;
        else if (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n'))
            ++nLine;
    }
    return nLine;
}

void NoteFirstProblem(CDecodedText &result, std::string_view bytes, const unsigned char *pAt, ETextProblem eProblem,
                      char32_t c, char32_t cOther)
{
    if (result.eProblem != ETextProblem::None)
        return;
    result.eProblem = eProblem;
    result.nProblemLine =
        LineOfOffset(bytes, static_cast<std::size_t>(reinterpret_cast<const char *>(pAt) - bytes.data()));
    result.cProblem = c;
    result.cProblemOther = cOther;
}

std::size_t PlainTextRun(const char *p, std::size_t n)
{
    return PlainRun(reinterpret_cast<const unsigned char *>(p), n);
}

const char *TextCodeTag(ETextCode eCode)
{
    return NamesOf(eCode).pszTag;
}

bool ParseTextCodeTag(std::string_view strTag, ETextCode &eCode)
{
    for (const CCodeNames &names : CODE_NAMES) {
        if (strTag.size() == std::strlen(names.pszTag)
            && ::strncasecmp(strTag.data(), names.pszTag, strTag.size()) == 0) {
            eCode = names.eCode;
            return true;
        }
    }
    return false;
}

const char *TextCodeCharset(ETextCode eCode)
{
    return NamesOf(eCode).pszCharset;
}

const char *TextCodeLabel(ETextCode eCode)
{
    return NamesOf(eCode).pszLabel;
}

ETextCode DetectTextCode(std::string_view bytes, ETextCode eAscii, std::string *pText, CExtraChars *pExtra)
{
    if (!pText)
        return DetectCode(bytes, eAscii, nullptr, false);
    CDecodedText decoded;
    const ETextCode eCode = DetectCode(bytes, eAscii, &decoded, false, pExtra);
    *pText = std::move(decoded.strText);
    if (pExtra && !pText->empty())
        *pExtra = std::move(decoded.extra);
    return eCode;
}

CDecodedText DecodeFileText(std::string_view bytes, ETextCode eAscii, bool bCopySjis)
{
    CDecodedText result;
    result.eCode = DetectCode(bytes, eAscii, &result, true);
    if (!result.strText.empty() || bytes.empty())
        return result;
    if (result.eCode == ETextCode::Sjis) {
        if (bCopySjis)
            result.strText.assign(bytes);
        return result;
    }
    return DecodeFileTextAs(bytes, result.eCode);
}

CDecodedText DecodeFileTextAs(std::string_view bytes, ETextCode eCode)
{
    CDecodedText result;
    result.eCode = eCode;
    switch (eCode) {
    case ETextCode::Sjis:
        result.strText.assign(bytes);
        break;
    case ETextCode::Utf8Bom:
        if (!bytes.starts_with(BOM)) {
            // Named by the user for a file without the mark: saving adds it.
            result.eCode = ETextCode::Utf8Bom;
            CDecodedText plain;
            plain.eCode = ETextCode::Utf8;
            DecodeUtf8(bytes, plain, false, nullptr);
            plain.eCode = ETextCode::Utf8Bom;
            return plain;
        }
        DecodeUtf8(bytes, result, false, nullptr);
        break;
    case ETextCode::Utf8:
        DecodeUtf8(bytes.starts_with(BOM) ? bytes.substr(BOM.size()) : bytes, result, false, nullptr);
        break;
    case ETextCode::Euc:
        DecodeEuc(bytes, result);
        break;
    case ETextCode::Jis:
        DecodeJis(bytes, result);
        break;
    }
    return result;
}

char32_t SjisCharToUnicode(std::string_view sjisChar, const CTextForms &forms, const CExtraChars *pExtra)
{
    if (sjisChar.empty())
        return 0;
    const CFileCodeTables &t = FileCodeTables();
    const auto c1 = static_cast<unsigned char>(sjisChar[0]);
    if (sjisChar.size() >= 2 && IsSjisLeadByte(c1) && IsSjisTrailByte(static_cast<unsigned char>(sjisChar[1]))) {
        const auto nCode = static_cast<std::uint16_t>(c1 * 256 + static_cast<unsigned char>(sjisChar[1]));
        if (pExtra) {
            if (const char32_t c = pExtra->CharOf(nCode))
                return c;
        }
        const int nDual = t.aDualIndex[nCode];
        if (nDual >= 0 && forms.abOther[static_cast<std::size_t>(nDual)])
            return DUAL_FORMS[static_cast<std::size_t>(nDual)].cOther;
        return t.aDouble[nCode];
    }
    return c1 == 0 ? 0 : t.aSingle[c1];
}
