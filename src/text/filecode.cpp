#include "text/filecode.h"

#include "text/filecode_tables.h"
#include "text/iconvstream.h"
#include "text/kanji.h"
#include "text/sjis.h"
#include "text/utf8check.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <strings.h>

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

// The line (from 1) of a byte offset: CR LF, LF and a lone CR each end one.
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

// Length of the ASCII run at p, eight bytes at a time.
inline std::size_t AsciiRun(const unsigned char *p, const unsigned char *pEnd)
{
    const unsigned char *q = p;
    while (pEnd - q >= 8) {
        std::uint64_t w;
        std::memcpy(&w, q, 8);
        if (w & 0x8080808080808080ULL)
            break;
        q += 8;
    }
    while (q < pEnd && *q < 0x80)
        ++q;
    return static_cast<std::size_t>(q - p);
}

// Whether a word holds a zero byte (it may also flag a byte above a real one).
inline bool HasZeroByte(std::uint64_t w)
{
    return ((w - 0x0101010101010101ULL) & ~w & 0x8080808080808080ULL) != 0;
}

// The length of the run of plain bytes at p: below 0x80 and none of ESC, SO
// and SI. Eight bytes at a time.
std::size_t PlainRun(const unsigned char *p, std::size_t n)
{
    std::size_t i = 0;
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
    // Writing elsewhere; the problems still go to result.
    CDecodeOutput(CDecodedText &result, std::string_view bytes, char *pOut)
        : m_result(result), m_bytes(bytes), m_p(pOut)
    {
    }
    char *Position() const { return m_p; }
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
        if (m_result.eProblem != ETextProblem::None)
            return;
        m_result.eProblem = eProblem;
        m_result.nProblemLine =
            LineOfOffset(m_bytes, static_cast<std::size_t>(reinterpret_cast<const char *>(pAt) - m_bytes.data()));
        m_result.cProblem = c;
        m_result.cProblemOther = cOther;
    }
    void Done() { m_result.strText.resize(static_cast<std::size_t>(m_p - m_result.strText.data())); }

private:
    CDecodedText &m_result;
    std::string_view m_bytes;
    char *m_p;
};

// Reads one UTF-8 sequence at p; 0xFFFFFFFF when it is malformed (n is then 1).
inline char32_t ReadUtf8(const unsigned char *p, const unsigned char *pEnd, int &n)
{
    const unsigned char c = p[0];
    int nMore;
    char32_t cMin;
    if (c >= 0xC2 && c <= 0xDF) {
        nMore = 1;
        cMin = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        nMore = 2;
        cMin = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        nMore = 3;
        cMin = 0x10000;
    } else {
        n = 1;
        return 0xFFFFFFFF;
    }
    n = 1;
    if (pEnd - p <= nMore)
        return 0xFFFFFFFF;
    char32_t cp = c & (0x3F >> nMore);
    for (int k = 1; k <= nMore; ++k) {
        if ((p[k] & 0xC0) != 0x80)
            return 0xFFFFFFFF;
        cp = (cp << 6) | (p[k] & 0x3F);
    }
    if (cp < cMin || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0xFFFFFFFF;
    n = nMore + 1;
    return cp;
}

// Decodes UTF-8 (after any byte-order mark). With bBail a malformed sequence
// stops the work at once: the caller tries the other codes. pbWide says
// whether a character beyond ASCII was seen.
void DecodeUtf8(std::string_view bytes, CDecodedText &result, bool bBail, bool *pbWide)
{
    CUtf8StreamDecoder decoder(bytes, bBail, result.eCode == ETextCode::Utf8Bom);
    result.strText.resize(bytes.size());
    result.strText.resize(decoder.Decode(result.strText.data(), result.strText.size()));
    const CDecodedText found = decoder.Result();
    result.forms = found.forms;
    result.eProblem = found.eProblem;
    result.nProblemLine = found.nProblemLine;
    result.cProblem = found.cProblem;
    result.cProblemOther = found.cProblemOther;
    if (pbWide)
        *pbWide = decoder.IsWide();
}

// The Unicode character of an EUC-JP sequence the document cannot hold, for
// the message; 0 when the system does not know it either.
char32_t EucToUnicode(const unsigned char *p, std::size_t n)
{
    CIconv cd("UTF-32LE", "EUC-JP");
    if (!cd.IsOpen())
        return 0;
    char in[3];
    std::memcpy(in, p, n);
    char outbuf[8];
    char *pin = in;
    char *pout = outbuf;
    std::size_t nIn = n;
    std::size_t nOut = sizeof outbuf;
    if (iconv(cd.Get(), &pin, &nIn, &pout, &nOut) == static_cast<std::size_t>(-1) || nOut != 4)
        return 0;
    const auto *u = reinterpret_cast<const unsigned char *>(outbuf);
    return static_cast<char32_t>(u[0] | (u[1] << 8) | (u[2] << 16) | (u[3] << 24));
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
            // JIS X 0212: no Shift-JIS code.
            out.Problem(ETextProblem::NoSjisForm, p, EucToUnicode(p, 3));
            out.Put('?');
            p += 3;
        } else if (IsEucByte(c) && pEnd - p >= 2 && IsEucByte(p[1])) {
            const KanjiBytePair s = JisToSjisPair(c & 0x7F, p[1] & 0x7F);
            const auto nCode = static_cast<std::uint16_t>(s.c1 * 256 + s.c2);
            if (t.aDouble[nCode] == 0) {
                out.Problem(ETextProblem::NoSjisForm, p, EucToUnicode(p, 2));
                out.Put('?');
            } else {
                out.PutCode(nCode);
            }
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
    enum { ASCII, KANJI, KANA } eMode = ASCII;
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
        } else if (!bShift && eMode == KANJI && c >= 0x21 && c <= 0x7E) {
            if (pEnd - p < 2 || p[1] < 0x21 || p[1] > 0x7E) {
                out.Problem(ETextProblem::Malformed, p);
                out.Put('?');
                ++p;
                continue;
            }
            const KanjiBytePair s = JisToSjisPair(c, p[1]);
            const auto nCode = static_cast<std::uint16_t>(s.c1 * 256 + s.c2);
            if (t.aDouble[nCode] == 0) {
                out.Problem(ETextProblem::NoSjisForm, p);
                out.Put('?');
            } else {
                out.PutCode(nCode);
            }
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
    if (!EncodeFileText(result.strText, ETextCode::Jis, result.forms, again) || again != bytes) {
        std::size_t i = 0;
        while (i < again.size() && i < bytes.size() && again[i] == bytes[i])
            ++i;
        result.eProblem = ETextProblem::Irregular;
        result.nProblemLine = LineOfOffset(bytes, i);
    }
}

// The Shift-JIS pair at p that EUC and JIS write: itself, or for an IBM
// extension its twin below lead 0xF0; FILECODE_NONE when there is none.
std::uint16_t SevenBitPlaceOf(const CFileCodeTables &t, unsigned char c1, unsigned char c2)
{
    auto nCode = static_cast<std::uint16_t>(c1 * 256 + c2);
    if (c1 >= 0xF0)
        nCode = t.aLowTwin[nCode];
    if (nCode == FILECODE_NONE || t.aDouble[nCode] == 0)
        return FILECODE_NONE;
    return nCode;
}

// The code the editor reads a file in. Where finding it meant decoding the
// text (EUC-JP and JIS, which are taken only when they decode cleanly), the
// text goes to pDecoded, so that it is not decoded twice; bWayBack as for
// DecodeJis.
ETextCode DetectCode(std::string_view bytes, ETextCode eAscii, CDecodedText *pDecoded, bool bWayBack)
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

ETextCode DetectTextCode(std::string_view bytes, ETextCode eAscii, std::string *pText)
{
    if (!pText)
        return DetectCode(bytes, eAscii, nullptr, false);
    CDecodedText decoded;
    const ETextCode eCode = DetectCode(bytes, eAscii, &decoded, false);
    *pText = std::move(decoded.strText);
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

// ---------------------------------------------------------------------------
// UTF-8 a block at a time

CUtf8StreamDecoder::CUtf8StreamDecoder(std::string_view bytes, bool bBail, bool bBom)
    : m_bytes(bytes), m_bBail(bBail)
{
    m_result.eCode = bBom ? ETextCode::Utf8Bom : ETextCode::Utf8;
    m_nPos = bytes.starts_with(BOM) ? BOM.size() : 0;
}

std::size_t CUtf8StreamDecoder::Decode(char *pOut, std::size_t nCap)
{
    const CFileCodeTables &t = FileCodeTables();
    CDecodeOutput out(m_result, m_bytes, pOut);
    const auto *const pBase = reinterpret_cast<const unsigned char *>(m_bytes.data());
    const unsigned char *p = pBase + m_nPos;
    const unsigned char *const pEnd = pBase + m_bytes.size();
    // Every input byte gives at most one output byte, so an output block is
    // filled by as many input bytes at least.
    const unsigned char *const pStop = p + std::min(nCap, static_cast<std::size_t>(pEnd - p));
    while (p < pStop && !m_bMalformed) {
        if (*p < 0x80) {
            const std::size_t n = AsciiRun(p, pStop);
            out.Put(p, n);
            p += n;
            continue;
        }
        int n = 0;
        const char32_t cp = ReadUtf8(p, pEnd, n);
        // A character cut by the block's end waits for the next block.
        if (p + n > pStop && out.Position() != pOut)
            break;
        if (cp == 0xFFFFFFFF) {
            out.Problem(ETextProblem::Malformed, p);
            if (m_bBail) {
                m_bMalformed = true;
                break;
            }
            out.Put('?');
            p += n;
            continue;
        }
        m_bWide = true;
        const std::uint16_t nCode = cp < 0x10000 ? t.aFromUnicode[cp] : FILECODE_NONE;
        if (nCode == FILECODE_NONE) {
            out.Problem(ETextProblem::NoSjisForm, p, cp);
            out.Put('?');
        } else {
            out.PutCode(nCode);
            const int nDual = t.aDualIndex[nCode];
            if (nDual >= 0) {
                const CDualForm &dual = DUAL_FORMS[static_cast<std::size_t>(nDual)];
                const unsigned nForm = cp == dual.cUsual ? 1 : 2;
                if ((m_aSeen[static_cast<std::size_t>(nDual)] | nForm) == 3)
                    out.Problem(ETextProblem::TwoForms, p, cp, nForm == 1 ? dual.cOther : dual.cUsual);
                m_aSeen[static_cast<std::size_t>(nDual)] |= nForm;
            }
        }
        p += n;
    }
    m_nPos = static_cast<std::size_t>(p - pBase);
    return static_cast<std::size_t>(out.Position() - pOut);
}

CDecodedText CUtf8StreamDecoder::Result() const
{
    CDecodedText result = m_result;
    for (std::size_t i = 0; i < DUAL_FORMS.size(); ++i)
        result.forms.abOther[i] = (m_aSeen[i] & 2) != 0;
    return result;
}

// ---------------------------------------------------------------------------
// Writing

CTextEncoder::CTextEncoder(ETextCode eCode, const CTextForms &forms) : m_eCode(eCode), m_forms(forms) {}

void CTextEncoder::Begin(std::string &out) const
{
    if (m_eCode == ETextCode::Utf8Bom)
        out.append(BOM);
}

bool CTextEncoder::Append(std::string_view sjis, std::string &out)
{
    switch (m_eCode) {
    case ETextCode::Sjis:
        out.append(sjis);
        return true;
    case ETextCode::Utf8:
    case ETextCode::Utf8Bom:
        return AppendUtf8(sjis, out);
    case ETextCode::Euc:
        return AppendEuc(sjis, out);
    case ETextCode::Jis:
        return AppendJis(sjis, out);
    }
    return false;
}

bool CTextEncoder::AppendUtf8(std::string_view sjis, std::string &out)
{
    const CFileCodeTables &t = FileCodeTables();
    const auto *const pBegin = reinterpret_cast<const unsigned char *>(sjis.data());
    const auto *p = pBegin;
    const unsigned char *const pEnd = p + sjis.size();
    // Written through a pointer into room for the longest result: a
    // half-width katakana byte becomes three bytes.
    const std::size_t nOld = out.size();
    out.resize(nOld + 3 * sjis.size());
    char *const pOutBegin = out.data() + nOld;
    char *q = pOutBegin;
    bool bOk = true;
    while (p < pEnd) {
        if (*p < 0x80) {
            const std::size_t n = AsciiRun(p, pEnd);
            std::memcpy(q, p, n);
            q += n;
            p += n;
            continue;
        }
        char32_t c;
        int n;
        if (pEnd - p >= 2 && IsSjisLeadByte(p[0]) && IsSjisTrailByte(p[1])) {
            const auto nCode = static_cast<std::uint16_t>(p[0] * 256 + p[1]);
            c = t.aDouble[nCode];
            const int nDual = t.aDualIndex[nCode];
            if (nDual >= 0 && m_forms.abOther[static_cast<std::size_t>(nDual)])
                c = DUAL_FORMS[static_cast<std::size_t>(nDual)].cOther;
            n = 2;
        } else {
            c = t.aSingle[*p];
            n = 1;
        }
        if (c == 0) {
            m_nFailOffset = static_cast<std::size_t>(p - pBegin);
            bOk = false;
            break;
        }
        // CP932 has nothing beyond the basic plane.
        if (c < 0x80) {
            *q++ = static_cast<char>(c);
        } else if (c < 0x800) {
            *q++ = static_cast<char>(0xC0 | (c >> 6));
            *q++ = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            *q++ = static_cast<char>(0xE0 | (c >> 12));
            *q++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *q++ = static_cast<char>(0x80 | (c & 0x3F));
        }
        p += n;
    }
    out.resize(nOld + static_cast<std::size_t>(q - pOutBegin));
    return bOk;
}

bool CTextEncoder::AppendEuc(std::string_view sjis, std::string &out)
{
    const CFileCodeTables &t = FileCodeTables();
    const auto *const pBegin = reinterpret_cast<const unsigned char *>(sjis.data());
    const auto *p = pBegin;
    const unsigned char *const pEnd = p + sjis.size();
    while (p < pEnd) {
        const unsigned char c = *p;
        if (c < 0x80) {
            const std::size_t n = AsciiRun(p, pEnd);
            out.append(reinterpret_cast<const char *>(p), n);
            p += n;
        } else if (IsSjisKana(c)) {
            const char s[2] = {static_cast<char>(0x8E), static_cast<char>(c)};
            out.append(s, 2);
            ++p;
        } else {
            const std::uint16_t nCode = pEnd - p >= 2 && IsSjisLeadByte(c) && IsSjisTrailByte(p[1])
                                            ? SevenBitPlaceOf(t, c, p[1])
                                            : FILECODE_NONE;
            if (nCode == FILECODE_NONE) {
                m_nFailOffset = static_cast<std::size_t>(p - pBegin);
                return false;
            }
            const KanjiBytePair j = SjisToJisPair(static_cast<unsigned char>(nCode >> 8),
                                                  static_cast<unsigned char>(nCode & 0xFF));
            const char s[2] = {static_cast<char>(j.c1 | 0x80), static_cast<char>(j.c2 | 0x80)};
            out.append(s, 2);
            p += 2;
        }
    }
    return true;
}

bool CTextEncoder::AppendJis(std::string_view sjis, std::string &out)
{
    const CFileCodeTables &t = FileCodeTables();
    const auto *const pBegin = reinterpret_cast<const unsigned char *>(sjis.data());
    const auto *p = pBegin;
    const unsigned char *const pEnd = p + sjis.size();
    const char asciiIn[3] = {static_cast<char>(ESC), '(', m_forms.chAsciiIn};
    const char kanjiIn[3] = {static_cast<char>(ESC), '$', m_forms.chKanjiIn};
    const auto leaveKana = [&] {
        if (m_forms.bKanaShift)
            out += static_cast<char>(SI);
        else
            out.append(asciiIn, 3);
    };
    while (p < pEnd) {
        const unsigned char c = *p;
        if (c == ESC || c == SO || c == SI) {
            // They would switch the reader's mode.
            m_nFailOffset = static_cast<std::size_t>(p - pBegin);
            return false;
        }
        if (c < 0x80) {
            if (m_nJisMode == 1)
                out.append(asciiIn, 3);
            else if (m_nJisMode == 2)
                leaveKana();
            m_nJisMode = 0;
            out += static_cast<char>(c);
            ++p;
        } else if (IsSjisKana(c)) {
            if (m_nJisMode != 2) {
                if (m_forms.bKanaShift) {
                    if (m_nJisMode == 1)
                        out.append(asciiIn, 3);
                    out += static_cast<char>(SO);
                } else {
                    out.append("\x1B(I", 3);
                }
                m_nJisMode = 2;
            }
            out += static_cast<char>(c & 0x7F);
            ++p;
        } else {
            const std::uint16_t nCode = pEnd - p >= 2 && IsSjisLeadByte(c) && IsSjisTrailByte(p[1])
                                            ? SevenBitPlaceOf(t, c, p[1])
                                            : FILECODE_NONE;
            if (nCode == FILECODE_NONE) {
                m_nFailOffset = static_cast<std::size_t>(p - pBegin);
                return false;
            }
            if (m_nJisMode != 1) {
                if (m_nJisMode == 2 && m_forms.bKanaShift)
                    out += static_cast<char>(SI);
                out.append(kanjiIn, 3);
                m_nJisMode = 1;
            }
            const KanjiBytePair j = SjisToJisPair(static_cast<unsigned char>(nCode >> 8),
                                                  static_cast<unsigned char>(nCode & 0xFF));
            out += static_cast<char>(j.c1);
            out += static_cast<char>(j.c2);
            p += 2;
        }
    }
    return true;
}

void CTextEncoder::Finish(std::string &out)
{
    if (m_eCode != ETextCode::Jis || m_nJisMode == 0)
        return;
    if (m_nJisMode == 2 && m_forms.bKanaShift) {
        out += static_cast<char>(SI);
    } else {
        const char asciiIn[3] = {static_cast<char>(ESC), '(', m_forms.chAsciiIn};
        out.append(asciiIn, 3);
    }
    m_nJisMode = 0;
}

bool EncodeFileText(std::string_view sjis, ETextCode eCode, const CTextForms &forms, std::string &out,
                    std::size_t *pnFailOffset)
{
    CTextEncoder encoder(eCode, forms);
    out.clear();
    out.reserve(sjis.size() + sjis.size() / 2 + 16);
    encoder.Begin(out);
    if (!encoder.Append(sjis, out)) {
        if (pnFailOffset)
            *pnFailOffset = encoder.GetFailOffset();
        return false;
    }
    encoder.Finish(out);
    return true;
}

char32_t SjisCharToUnicode(std::string_view sjisChar, const CTextForms &forms)
{
    if (sjisChar.empty())
        return 0;
    const CFileCodeTables &t = FileCodeTables();
    const auto c1 = static_cast<unsigned char>(sjisChar[0]);
    if (sjisChar.size() >= 2 && IsSjisLeadByte(c1) && IsSjisTrailByte(static_cast<unsigned char>(sjisChar[1]))) {
        const auto nCode = static_cast<std::uint16_t>(c1 * 256 + static_cast<unsigned char>(sjisChar[1]));
        const int nDual = t.aDualIndex[nCode];
        if (nDual >= 0 && forms.abOther[static_cast<std::size_t>(nDual)])
            return DUAL_FORMS[static_cast<std::size_t>(nDual)].cOther;
        return t.aDouble[nCode];
    }
    return c1 == 0 ? 0 : t.aSingle[c1];
}
