// Writing the document's Shift-JIS in a file code.
//
// The encoders write through raw pointers into room the caller keeps: a
// large file is saved through one buffer that is never cleared or regrown,
// and the string form on top of it serves everything that is small.
#include "text/filecode.h"
#include "text/filecode_detail.h"
#include "text/filecode_tables.h"
#include "text/kanji.h"
#include "text/sjis.h"

#include <algorithm>

namespace {

constexpr unsigned char ESC = 0x1B;
constexpr unsigned char SO = 0x0E;
constexpr unsigned char SI = 0x0F;
constexpr std::string_view BOM = "\xEF\xBB\xBF";

// The Shift-JIS pair at p that EUC and JIS write: itself, or for an IBM
// extension its twin below lead 0xF0; FILECODE_NONE when there is none.
std::uint16_t SevenBitPlaceOf(const CFileCodeTables &t, const unsigned char *p, const unsigned char *pEnd)
{
    if (pEnd - p < 2 || !IsSjisLeadByte(p[0]) || !IsSjisTrailByte(p[1]))
        return FILECODE_NONE;
    auto nCode = static_cast<std::uint16_t>(p[0] * 256 + p[1]);
    if (p[0] >= 0xF0)
        nCode = t.aLowTwin[nCode];
    if (nCode == FILECODE_NONE || t.aDouble[nCode] == 0)
        return FILECODE_NONE;
    return nCode;
}

// The ASCII run at p copied to q, as much of it as there is room for.
void CopyAscii(const unsigned char *&p, const unsigned char *pEnd, char *&q, const char *qEnd)
{
    const std::size_t n = AsciiRun(p, p + std::min(pEnd - p, qEnd - q));
    if (n > 0)
        std::memcpy(q, p, n);
    p += n;
    q += n;
}

// The character of the table at p, 0 when p holds no code of it.
inline char32_t ExtraCharAt(const CExtraChars *pExtra, const unsigned char *p, const unsigned char *pEnd)
{
    if (!pExtra || pEnd - p < 2)
        return 0;
    return pExtra->CharOf(p[0], p[1]);
}

inline void Put(char *&q, unsigned char c)
{
    *q++ = static_cast<char>(c);
}

inline void Put(char *&q, std::string_view s)
{
    std::memcpy(q, s.data(), s.size());
    q += s.size();
}

} // namespace

CTextEncoder::CTextEncoder(ETextCode eCode, const CTextForms &forms, const CExtraChars *pExtra)
    : m_eCode(eCode), m_forms(forms), m_pExtra(pExtra && !pExtra->IsEmpty() ? pExtra : nullptr)
{
}

bool CTextEncoder::EncodeExtraSevenBit(char32_t c, char *&q)
{
    std::uint16_t nPair = 0;
    bool b0212 = false;
    if (!ExtraCharJisPair(c, nPair, b0212))
        return false;
    const auto row = static_cast<unsigned char>(nPair >> 8);
    const auto cell = static_cast<unsigned char>(nPair & 0xFF);
    if (m_eCode == ETextCode::Euc) {
        if (b0212)
            Put(q, 0x8F);
        Put(q, static_cast<unsigned char>(row | 0x80));
        Put(q, static_cast<unsigned char>(cell | 0x80));
        return true;
    }
    const int nMode = b0212 ? 3 : 1;
    if (m_nJisMode != nMode) {
        if (m_nJisMode == 2 && m_forms.bKanaShift)
            Put(q, SI);
        if (b0212)
            Put(q, "\x1B$(D");
        else
            Put(q, std::string_view(m_forms.chKanjiIn == '@' ? "\x1B$@" : "\x1B$B", 3));
        m_nJisMode = nMode;
    }
    Put(q, row);
    Put(q, cell);
    return true;
}

std::string_view CTextEncoder::Preamble() const
{
    return m_eCode == ETextCode::Utf8Bom ? BOM : std::string_view();
}

CTextEncoder::EStop CTextEncoder::Encode(const char *&pIn, const char *pInEnd, char *&pOut, char *pOutEnd)
{
    switch (m_eCode) {
    case ETextCode::Sjis: {
        if (m_pExtra)
            return EncodeSjisWithoutExtra(pIn, pInEnd, pOut, pOutEnd);
        const auto n = static_cast<std::size_t>(std::min(pInEnd - pIn, pOutEnd - pOut));
        if (n > 0)
            std::memcpy(pOut, pIn, n);
        pIn += n;
        pOut += n;
        return pIn == pInEnd ? EStop::Done : EStop::Full;
    }
    case ETextCode::Utf8:
    case ETextCode::Utf8Bom:
        return EncodeUtf8(pIn, pInEnd, pOut, pOutEnd);
    case ETextCode::Euc:
        return EncodeEuc(pIn, pInEnd, pOut, pOutEnd);
    case ETextCode::Jis:
        return EncodeJis(pIn, pInEnd, pOut, pOutEnd);
    }
    return EStop::Unencodable;
}

CTextEncoder::EStop CTextEncoder::EncodeSjisWithoutExtra(const char *&pIn, const char *pInEnd, char *&pOut,
                                                          char *pOutEnd)
{
    const auto *p = reinterpret_cast<const unsigned char *>(pIn);
    const auto *const pEnd = reinterpret_cast<const unsigned char *>(pInEnd);
    EStop eStop = EStop::Done;
    while (p < pEnd) {
        if (pOutEnd - pOut < 2) {
            eStop = EStop::Full;
            break;
        }
        if (const char32_t c = ExtraCharAt(m_pExtra, p, pEnd)) {
            // A user-defined character has its own code in Shift-JIS.
            if (c < USER_AREA_FIRST || c > USER_AREA_LAST) {
                eStop = EStop::Unencodable;
                break;
            }
            const std::uint16_t nCode = CExtraChars::CodeOfIndex(c - USER_AREA_FIRST);
            Put(pOut, static_cast<unsigned char>(nCode >> 8));
            Put(pOut, static_cast<unsigned char>(nCode & 0xFF));
            p += 2;
            continue;
        }
        const int n = SjisCharLength(reinterpret_cast<const char *>(p), static_cast<std::size_t>(pEnd - p));
        std::memcpy(pOut, p, static_cast<std::size_t>(n));
        pOut += n;
        p += n;
    }
    pIn = reinterpret_cast<const char *>(p);
    return eStop;
}

bool CTextEncoder::Append(std::string_view sjis, std::string &out)
{
    const char *p = sjis.data();
    const char *const pEnd = p + sjis.size();
    std::size_t nUsed = out.size();
    EStop eStop;
    do {
        // Room for most texts at once: double-byte characters never grow by
        // more than half in these codes.
        out.resize(nUsed + 2 * static_cast<std::size_t>(pEnd - p) + ENCODE_ROOM);
        char *q = out.data() + nUsed;
        eStop = Encode(p, pEnd, q, out.data() + out.size());
        nUsed = static_cast<std::size_t>(q - out.data());
    } while (eStop == EStop::Full);
    out.resize(nUsed);
    if (eStop == EStop::Unencodable) {
        m_nFailOffset = static_cast<std::size_t>(p - sjis.data());
        return false;
    }
    return true;
}

CTextEncoder::EStop CTextEncoder::EncodeEuc(const char *&pIn, const char *pInEnd, char *&pOut, char *pOutEnd)
{
    const CFileCodeTables &t = FileCodeTables();
    const auto *p = reinterpret_cast<const unsigned char *>(pIn);
    const auto *const pEnd = reinterpret_cast<const unsigned char *>(pInEnd);
    char *q = pOut;
    EStop eStop = EStop::Done;
    while (p < pEnd) {
        if (pOutEnd - q < static_cast<std::ptrdiff_t>(ENCODE_ROOM)) {
            eStop = EStop::Full;
            break;
        }
        const unsigned char c = *p;
        if (c < 0x80) {
            CopyAscii(p, pEnd, q, pOutEnd);
        } else if (IsSjisKana(c)) {
            Put(q, 0x8E);
            Put(q, c);
            ++p;
        } else {
            if (const char32_t cExtra = ExtraCharAt(m_pExtra, p, pEnd)) {
                if (!EncodeExtraSevenBit(cExtra, q)) {
                    eStop = EStop::Unencodable;
                    break;
                }
                p += 2;
                continue;
            }
            const std::uint16_t nCode = SevenBitPlaceOf(t, p, pEnd);
            if (nCode == FILECODE_NONE) {
                eStop = EStop::Unencodable;
                break;
            }
            const KanjiBytePair j = SjisToJisPair(static_cast<unsigned char>(nCode >> 8),
                                                  static_cast<unsigned char>(nCode & 0xFF));
            Put(q, static_cast<unsigned char>(j.c1 | 0x80));
            Put(q, static_cast<unsigned char>(j.c2 | 0x80));
            p += 2;
        }
    }
    pIn = reinterpret_cast<const char *>(p);
    pOut = q;
    return eStop;
}

CTextEncoder::EStop CTextEncoder::EncodeJis(const char *&pIn, const char *pInEnd, char *&pOut, char *pOutEnd)
{
    const CFileCodeTables &t = FileCodeTables();
    const auto *p = reinterpret_cast<const unsigned char *>(pIn);
    const auto *const pEnd = reinterpret_cast<const unsigned char *>(pInEnd);
    char *q = pOut;
    const char asciiIn[3] = {static_cast<char>(ESC), '(', m_forms.chAsciiIn};
    const char kanjiIn[3] = {static_cast<char>(ESC), '$', m_forms.chKanjiIn};
    EStop eStop = EStop::Done;
    while (p < pEnd) {
        if (pOutEnd - q < static_cast<std::ptrdiff_t>(ENCODE_ROOM)) {
            eStop = EStop::Full;
            break;
        }
        const unsigned char c = *p;
        if (c == ESC || c == SO || c == SI) {
            // They would switch the reader's mode.
            eStop = EStop::Unencodable;
            break;
        }
        if (c < 0x80) {
            if (m_nJisMode == 1 || m_nJisMode == 3)
                Put(q, std::string_view(asciiIn, 3));
            else if (m_nJisMode == 2 && m_forms.bKanaShift)
                Put(q, SI);
            else if (m_nJisMode == 2)
                Put(q, std::string_view(asciiIn, 3));
            m_nJisMode = 0;
            Put(q, c);
            ++p;
        } else if (IsSjisKana(c)) {
            if (m_nJisMode != 2) {
                if (m_forms.bKanaShift) {
                    if (m_nJisMode == 1 || m_nJisMode == 3)
                        Put(q, std::string_view(asciiIn, 3));
                    Put(q, SO);
                } else {
                    Put(q, "\x1B(I");
                }
                m_nJisMode = 2;
            }
            Put(q, static_cast<unsigned char>(c & 0x7F));
            ++p;
        } else {
            if (const char32_t cExtra = ExtraCharAt(m_pExtra, p, pEnd)) {
                if (!EncodeExtraSevenBit(cExtra, q)) {
                    eStop = EStop::Unencodable;
                    break;
                }
                p += 2;
                continue;
            }
            const std::uint16_t nCode = SevenBitPlaceOf(t, p, pEnd);
            if (nCode == FILECODE_NONE) {
                eStop = EStop::Unencodable;
                break;
            }
            if (m_nJisMode != 1) {
                if (m_nJisMode == 2 && m_forms.bKanaShift)
                    Put(q, SI);
                Put(q, std::string_view(kanjiIn, 3));
                m_nJisMode = 1;
            }
            const KanjiBytePair j = SjisToJisPair(static_cast<unsigned char>(nCode >> 8),
                                                  static_cast<unsigned char>(nCode & 0xFF));
            Put(q, j.c1);
            Put(q, j.c2);
            p += 2;
        }
    }
    pIn = reinterpret_cast<const char *>(p);
    pOut = q;
    return eStop;
}

void CTextEncoder::Finish(char *&pOut)
{
    if (m_eCode != ETextCode::Jis || m_nJisMode == 0)
        return;
    if (m_nJisMode == 2 && m_forms.bKanaShift) {
        Put(pOut, SI);
    } else {
        const char asciiIn[3] = {static_cast<char>(ESC), '(', m_forms.chAsciiIn};
        Put(pOut, std::string_view(asciiIn, 3));
    }
    m_nJisMode = 0;
}

void CTextEncoder::Finish(std::string &out)
{
    char buf[ENCODE_ROOM];
    char *q = buf;
    Finish(q);
    out.append(buf, static_cast<std::size_t>(q - buf));
}

bool EncodeFileText(std::string_view sjis, ETextCode eCode, const CTextForms &forms, std::string &out,
                    std::size_t *pnFailOffset, const CExtraChars *pExtra)
{
    CTextEncoder encoder(eCode, forms, pExtra);
    out.clear();
    encoder.Begin(out);
    if (!encoder.Append(sjis, out)) {
        if (pnFailOffset)
            *pnFailOffset = encoder.GetFailOffset();
        return false;
    }
    encoder.Finish(out);
    return true;
}
