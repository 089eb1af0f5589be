#include "text/kanji.h"

#include "text/sjis.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace {

using Byte = unsigned char;

inline bool IsEucByte(Byte c)
{
    return c >= 0xA1 && c <= 0xFE;
}

// Half-width katakana inside SO ... SI: 8-bit bytes, or their 7-bit form as
// written by EUC to JIS (SO 0x31 SI is "ｱ").
inline bool IsJisKana(Byte c)
{
    return IsSjisKana(c) || (c >= 0x21 && c <= 0x5F);
}

// Grows the output to twice its size and returns the new write position.
char *GrowOutput(std::string *pStr, const char *p)
{
    const std::ptrdiff_t nUsed = p - pStr->data();
    pStr->resize(pStr->size() * 2);
    return pStr->data() + nUsed;
}

// Output grown on demand: each step of a routine, and the closing escape after
// the last one, first asks for room, which covers the longest thing a step
// writes (an escape sequence, shift codes and a double-byte character), so the
// inner loops need no other bounds check.
// Each routine keeps its writer local and the string outside it, so the write
// position stays in a register however the bytes are stored.
class CKanjiWriter
{
public:
    static constexpr std::ptrdiff_t STEP_MAX = 8;

    CKanjiWriter(std::string &str, const Byte *p, const Byte *end) : m_pStr(&str)
    {
        const auto nInput = static_cast<std::size_t>(end - p);
        str.resize(nInput + nInput / 8 + 2 * STEP_MAX);
        m_p = str.data();
        m_pEnd = m_p + str.size();
    }

    void Room()
    {
        if (m_pEnd - m_p < STEP_MAX) {
            m_p = GrowOutput(m_pStr, m_p);
            m_pEnd = m_pStr->data() + m_pStr->size();
        }
    }
    void Put(Byte c) { *m_p++ = static_cast<char>(c); }
    void Put(Byte c1, Byte c2)
    {
        m_p[0] = static_cast<char>(c1);
        m_p[1] = static_cast<char>(c2);
        m_p += 2;
    }
    void Put(KanjiBytePair pair) { Put(pair.c1, pair.c2); }
    void PutKanjiIn()
    {
        Put(KANJI_ESC, '$');
        Put('B');
    }
    void PutKanjiOut()
    {
        Put(KANJI_ESC, '(');
        Put('J');
    }

    void Finish()
    {
        assert(m_p <= m_pEnd);
        m_pStr->resize(static_cast<std::size_t>(m_p - m_pStr->data()));
    }

private:
    std::string *m_pStr;
    char *m_p;
    char *m_pEnd;
};

inline KanjiBytePair EucPair(KanjiBytePair jis)
{
    return {static_cast<Byte>(jis.c1 | 0x80), static_cast<Byte>(jis.c2 | 0x80)};
}

inline KanjiBytePair KanaToSjisPair(Byte kana)
{
    const KanjiBytePair jis = KanaToJisPair(kana);
    return JisToSjisPair(jis.c1, jis.c2);
}

// ---------------------------------------------------------------------------
// JIS input. One parser; the sinks decide what each element becomes.

template <typename Sink>
void ParseJis(const Byte *p, const Byte *end, std::string &out)
{
    CKanjiWriter w(out, p, end);
    Sink sink{w};
    bool bKanji = false;
    bool bKana = false;
    while (p < end) {
        w.Room();
        const Byte c = *p;
        if (c == KANJI_ESC) {
            if (end - p < 2) {
                sink.Other(c);
                ++p;
                continue;
            }
            const Byte b = p[1];
            if (b == '$' || b == '(') {
                if (end - p < 3) {
                    sink.Other(c);
                    sink.Other(b);
                    p += 2;
                    continue;
                }
                const Byte d = p[2];
                if (b == '$' && (d == 'B' || d == '@')) {
                    bKanji = true;
                    p += 3;
                } else if (b == '(' && (d == 'J' || d == 'B' || d == 'H')) {
                    bKanji = false;
                    p += 3;
                } else {
                    sink.Other(c);
                    sink.Other(b);
                    p += 2;
                }
            } else if (b == 'H') {
                bKanji = false;
                p += 2;
            } else if (b == 'K') {
                bKanji = true;
                p += 2;
            } else {
                sink.Other(c);
                ++p;
            }
            continue;
        }
        if (c < 0x21 || c == 0x7F) {
            if (c == KANJI_SO)
                bKana = true;
            else if (c == KANJI_SI)
                bKana = false;
            else
                sink.Other(c);
            ++p;
            continue;
        }
        if (!bKanji) {
            if (bKana && IsJisKana(c))
                sink.Kana(static_cast<Byte>(c | 0x80));
            else
                sink.Other(c);
            ++p;
            continue;
        }
        if (end - p < 2 || p[1] < 0x21) {
            sink.Other(c);
            ++p;
            continue;
        }
        const Byte d = p[1];
        if (c > 0x7F || d > 0x7F)
            sink.Raw(c, d);
        else
            sink.Pair(c, d);
        p += 2;
    }
    w.Room();
    sink.End();
    w.Finish();
}

struct CJisToSjisSink
{
    CKanjiWriter &w;
    void Other(Byte c) { w.Put(c); }
    void Kana(Byte c) { w.Put(KanaToSjisPair(c)); }
    void Pair(Byte row, Byte cell) { w.Put(JisToSjisPair(row, cell)); }
    void Raw(Byte c1, Byte c2) { w.Put(c1, c2); }
    void End() {}
};

struct CJisToEucSink
{
    CKanjiWriter &w;
    void Other(Byte c) { w.Put(c); }
    void Kana(Byte c) { w.Put(EucPair(KanaToJisPair(c))); }
    void Pair(Byte row, Byte cell) { w.Put(EucPair({row, cell})); }
    void Raw(Byte c1, Byte c2) { w.Put(c1, c2); }
    void End() {}
};

// Rewrites the escapes in the canonical form. The output mode is tracked apart
// from the input's, because widened katakana need kanji mode in the output
// while the input is outside it.
struct CJisToJisSink
{
    CKanjiWriter &w;
    bool bKanjiOut = false;

    void Enter()
    {
        if (!bKanjiOut) {
            w.PutKanjiIn();
            bKanjiOut = true;
        }
    }
    void Leave()
    {
        if (bKanjiOut) {
            w.PutKanjiOut();
            bKanjiOut = false;
        }
    }
    void Other(Byte c)
    {
        Leave();
        w.Put(c);
    }
    void Kana(Byte c)
    {
        Enter();
        w.Put(KanaToJisPair(c));
    }
    void Pair(Byte row, Byte cell)
    {
        Enter();
        w.Put(row, cell);
    }
    void Raw(Byte c1, Byte c2) { Pair(c1, c2); }
    void End() { Leave(); }
};

// ---------------------------------------------------------------------------
// Shift-JIS input.

void SjisToSjis(const Byte *p, const Byte *end, std::string &out)
{
    CKanjiWriter w(out, p, end);
    while (p < end) {
        w.Room();
        const Byte c = *p;
        if (IsSjisLeadByte(c) && end - p >= 2) {
            w.Put(c, p[1]);
            p += 2;
        } else {
            if (IsSjisKana(c))
                w.Put(KanaToSjisPair(c));
            else
                w.Put(c);
            ++p;
        }
    }
    w.Finish();
}

void SjisToEuc(const Byte *p, const Byte *end, std::string &out)
{
    CKanjiWriter w(out, p, end);
    while (p < end) {
        w.Room();
        const Byte c = *p;
        if (IsSjisLeadByte(c) && end - p >= 2 && IsSjisTrailByte(p[1])) {
            w.Put(EucPair(SjisToJisPair(c, p[1])));
            p += 2;
        } else {
            if (IsSjisKana(c))
                w.Put(EucPair(KanaToJisPair(c)));
            else
                w.Put(c);
            ++p;
        }
    }
    w.Finish();
}

void SjisToJis(const Byte *p, const Byte *end, std::string &out)
{
    CKanjiWriter w(out, p, end);
    bool bKanji = false;
    while (p < end) {
        w.Room();
        const Byte c = *p;
        const bool bPair = IsSjisLeadByte(c) && end - p >= 2 && IsSjisTrailByte(p[1]);
        if (bPair || IsSjisKana(c)) {
            if (!bKanji) {
                w.PutKanjiIn();
                bKanji = true;
            }
            if (bPair) {
                w.Put(SjisToJisPair(c, p[1]));
                p += 2;
            } else {
                w.Put(KanaToJisPair(c));
                ++p;
            }
        } else {
            if (bKanji) {
                w.PutKanjiOut();
                bKanji = false;
            }
            w.Put(c);
            ++p;
        }
    }
    w.Room();
    if (bKanji)
        w.PutKanjiOut();
    w.Finish();
}

// ---------------------------------------------------------------------------
// EUC input.

void EucToSjis(const Byte *p, const Byte *end, std::string &out)
{
    CKanjiWriter w(out, p, end);
    while (p < end) {
        w.Room();
        const Byte c = *p;
        if (IsEucByte(c) && end - p >= 2) {
            if (IsEucByte(p[1]))
                w.Put(JisToSjisPair(c & 0x7F, p[1] & 0x7F));
            else
                w.Put(c, p[1]);
            p += 2;
        } else if (c == 0x8E && end - p >= 2) {
            // SS2 before a byte that is no katakana: only that byte is written.
            if (IsSjisKana(p[1]))
                w.Put(KanaToSjisPair(p[1]));
            else
                w.Put(p[1]);
            p += 2;
        } else if (c == 0x8F && end - p >= 3) {
            // JIS X 0212 has no Shift-JIS form; its two bytes are kept.
            w.Put(p[1], p[2]);
            p += 3;
        } else {
            w.Put(c);
            ++p;
        }
    }
    w.Finish();
}

void EucToEuc(const Byte *p, const Byte *end, std::string &out)
{
    CKanjiWriter w(out, p, end);
    while (p < end) {
        w.Room();
        const Byte c = *p;
        if (c == 0x8E && end - p >= 2) {
            if (IsSjisKana(p[1]))
                w.Put(EucPair(KanaToJisPair(p[1])));
            else
                w.Put(p[1]);
            p += 2;
        } else if (IsEucByte(c) && end - p >= 2 && IsEucByte(p[1])) {
            w.Put(c, p[1]);
            p += 2;
        } else {
            w.Put(c);
            ++p;
        }
    }
    w.Finish();
}

void EucToJis(const Byte *p, const Byte *end, std::string &out)
{
    CKanjiWriter w(out, p, end);
    bool bKanji = false;
    bool bKana = false;
    // Kanji and katakana exclude each other: JIS kanji written while SO is in
    // force would be read as katakana, so SI always comes first.
    auto enterKanji = [&] {
        if (bKana) {
            w.Put(KANJI_SI);
            bKana = false;
        }
        if (!bKanji) {
            w.PutKanjiIn();
            bKanji = true;
        }
    };
    auto leaveBoth = [&] {
        if (bKanji) {
            w.PutKanjiOut();
            bKanji = false;
        }
        if (bKana) {
            w.Put(KANJI_SI);
            bKana = false;
        }
    };
    while (p < end) {
        w.Room();
        Byte c = *p;
        if (IsEucByte(c) && end - p >= 2 && IsEucByte(p[1])) {
            enterKanji();
            w.Put(c & 0x7F, p[1] & 0x7F);
            p += 2;
            continue;
        }
        if (c == 0x8F && end - p >= 3) {
            enterKanji();
            w.Put(p[1], p[2]);
            p += 3;
            continue;
        }
        if (c == 0x8E && end - p >= 2) {
            if (IsSjisKana(p[1])) {
                if (bKanji) {
                    w.PutKanjiOut();
                    bKanji = false;
                }
                if (!bKana) {
                    w.Put(KANJI_SO);
                    bKana = true;
                }
                w.Put(p[1] & 0x7F);
                p += 2;
                continue;
            }
            // As in the other EUC routines, SS2 before a byte that is no
            // katakana leaves only that byte.
            c = *++p;
        }
        leaveBoth();
        w.Put(c);
        ++p;
    }
    w.Room();
    if (bKana)
        w.Put(KANJI_SI);
    else if (bKanji)
        w.PutKanjiOut();
    w.Finish();
}

// ---------------------------------------------------------------------------
// Code detection. The guess and the Shift-JIS or EUC decision read the text
// the same way, byte by byte, each with its own rules for what a byte means.

// What a scanner's rule makes of a byte from 0x81 on.
struct CKanjiStep
{
    enum EKind
    {
        GO_ON,   // read the next byte
        AGAIN,   // the byte after it was read and begins something else: read it again
        DECIDE,  // the code is known
        END,     // the text ended inside a pair
    } eKind;
    int nValue;  // the byte to read again, or the code
};

// Reads the text byte by byte for a rule. The bytes below 0x81 decide nothing
// in either scanner, and an escape that switches to JIS kanji (ESC K, ESC $ B,
// ESC $ @, and ESC $ ( D for JIS X 0212) means JIS in both; the rule sees every other byte, with the
// position after it, and reads the byte that follows with next(b), which is
// false at the end of the text. Returns the code the rule decides, or -1 when
// the text ends first.
// The reader's state stays in the loop's own variables, where the compiler
// keeps it in registers: held in an object, it made the scan slower.
template <typename Rule>
int ScanKanjiBytes(const Byte *p, int nLength, Rule rule)
{
    int i = 0;
    auto next = [&](int &b) {
        if (i >= nLength)
            return false;
        b = p[i++];
        return true;
    };
    int c = 0;
    bool bHeld = false;  // c is a byte read earlier that must be examined again
    for (;;) {
        if (!bHeld && !next(c))
            return -1;
        bHeld = false;
        if (c == KANJI_ESC) {
            int b = 0;
            if (!next(b))
                return -1;
            if (b == 'K')
                return KANJI_JIS;
            if (b == '$') {
                if (!next(b))
                    return -1;
                if (b == 'B' || b == '@')
                    return KANJI_JIS;
                if (b == '(') {
                    if (!next(b))
                        return -1;
                    if (b == 'D')
                        return KANJI_JIS;
                }
            }
            c = b;
            bHeld = true;
            continue;
        }
        if (c < 0x81)
            continue;
        const CKanjiStep step = rule(c, next, i);
        switch (step.eKind) {
        case CKanjiStep::GO_ON:
            break;
        case CKanjiStep::AGAIN:
            c = step.nValue;
            bHeld = true;
            break;
        case CKanjiStep::DECIDE:
            return step.nValue;
        case CKanjiStep::END:
            return -1;
        }
    }
}

} // namespace

const unsigned char KanaToZenkaku[63] = {
    0x23, 0x56, 0x57, 0x22, 0x26,                     // 。「」、・
    0xF2,                                             // ヲ
    0xA1, 0xA3, 0xA5, 0xA7, 0xA9, 0xE3, 0xE5, 0xE7, 0xC3,  // ァィゥェォャュョッ
    0x3C,                                             // ー
    0xA2, 0xA4, 0xA6, 0xA8, 0xAA,                     // アイウエオ
    0xAB, 0xAD, 0xAF, 0xB1, 0xB3,                     // カキクケコ
    0xB5, 0xB7, 0xB9, 0xBB, 0xBD,                     // サシスセソ
    0xBF, 0xC1, 0xC4, 0xC6, 0xC8,                     // タチツテト
    0xCA, 0xCB, 0xCC, 0xCD, 0xCE,                     // ナニヌネノ
    0xCF, 0xD2, 0xD5, 0xD8, 0xDB,                     // ハヒフヘホ
    0xDE, 0xDF, 0xE0, 0xE1, 0xE2,                     // マミムメモ
    0xE4, 0xE6, 0xE8,                                 // ヤユヨ
    0xE9, 0xEA, 0xEB, 0xEC, 0xED,                     // ラリルレロ
    0xEF, 0xF3,                                       // ワン
    0x2B, 0x2C,                                       // ゛゜
};

int DetectKanjiCode(const unsigned char *p, int nLength, bool *pbDecided)
{
    bool bKanaPair = false;   // 0x8E + 0xA0-0xDF: EUC katakana or a Shift-JIS kanji
    bool bKanjiPair = false;  // 0xE0-0xFC + 0xA1-0xFC: a kanji in either code
    const int nCode = ScanKanjiBytes(p, nLength, [&](int c, auto &next, int i) -> CKanjiStep {
        int b = 0;
        if (c == 0xA0 || c == 0xFF)
            return {CKanjiStep::GO_ON, 0};
        if (c == 0x8E) {
            if (!next(b))
                return {CKanjiStep::END, 0};
            if (b >= 0xA0 && b <= 0xDF) {
                bKanaPair = true;
                return {CKanjiStep::GO_ON, 0};
            }
            if (IsSjisTrailByte(static_cast<Byte>(b)))
                return {CKanjiStep::DECIDE, KANJI_SJIS};
            return {CKanjiStep::AGAIN, b};
        }
        if (c <= 0x9F) {
            if (!next(b))
                return {CKanjiStep::END, 0};
            if (IsSjisTrailByte(static_cast<Byte>(b)))
                return {CKanjiStep::DECIDE, KANJI_SJIS};
            return {CKanjiStep::AGAIN, b};
        }
        if (c >= 0xE0 && c <= 0xFC) {
            if (!next(b))
                return {CKanjiStep::END, 0};
            if (IsSjisTrailByte(static_cast<Byte>(b))) {
                if (b < 0xA1)
                    return {CKanjiStep::DECIDE, KANJI_SJIS};
                bKanjiPair = true;
                return {CKanjiStep::GO_ON, 0};
            }
            if (b >= 0xA1 && b <= 0xFE)
                return {CKanjiStep::DECIDE, KANJI_EUC};
            return {CKanjiStep::AGAIN, b};
        }
        // 0xA1-0xDF, 0xFD, 0xFE
        if (!next(b))
            return {CKanjiStep::END, 0};
        if (b < 0xA1 || b == 0xFF)
            return {CKanjiStep::AGAIN, b};
        if (b >= 0xE0)
            return {CKanjiStep::DECIDE, KANJI_EUC};
        return {CKanjiStep::DECIDE, ResolveSjisOrEuc(p + i, nLength - i)};
    });
    if (pbDecided)
        *pbDecided = nCode >= 0;
    if (nCode >= 0)
        return nCode;
    return bKanaPair != bKanjiPair ? KANJI_SJIS : KANJI_UNKNOWN;
}

int ResolveSjisOrEuc(const unsigned char *p, int nLength)
{
    const int nCode = ScanKanjiBytes(p, nLength < 1024 ? nLength : 1024,
                                     [&](int c, auto &next, int) -> CKanjiStep {
        int b = 0;
        if (c == 0xA0)
            return {CKanjiStep::GO_ON, 0};
        if (c == 0x8E)
            return next(b) ? CKanjiStep{CKanjiStep::GO_ON, 0} : CKanjiStep{CKanjiStep::END, 0};
        if (c <= 0x9F) {
            if (!next(b))
                return {CKanjiStep::END, 0};
            if (IsSjisTrailByte(static_cast<Byte>(b)))
                return {CKanjiStep::DECIDE, KANJI_SJIS};
            return {CKanjiStep::AGAIN, b};
        }
        if (c >= 0xE0)
            return {CKanjiStep::DECIDE, KANJI_EUC};
        // 0xA1-0xDF
        if (!next(b))
            return {CKanjiStep::END, 0};
        if (b >= 0xE0 && b <= 0xFE)
            return {CKanjiStep::DECIDE, KANJI_EUC};
        return {CKanjiStep::AGAIN, b};
    });
    return nCode >= 0 ? nCode : KANJI_EUC;
}

std::string ConvertKanjiCodeFrom(std::string_view input, int nInCode, int nOutCode)
{
    const auto *p = reinterpret_cast<const Byte *>(input.data());
    const void *pNul = std::memchr(p, 0, input.size());
    const Byte *end = pNul ? static_cast<const Byte *>(pNul) : p + input.size();
    if (nOutCode != OUTCODE_EUC && nOutCode != OUTCODE_JIS)
        nOutCode = OUTCODE_SJIS;
    std::string out;
    switch (nInCode) {
    case KANJI_SJIS:
        if (nOutCode == OUTCODE_SJIS)
            SjisToSjis(p, end, out);
        else if (nOutCode == OUTCODE_EUC)
            SjisToEuc(p, end, out);
        else
            SjisToJis(p, end, out);
        break;
    case KANJI_EUC:
        if (nOutCode == OUTCODE_SJIS)
            EucToSjis(p, end, out);
        else if (nOutCode == OUTCODE_EUC)
            EucToEuc(p, end, out);
        else
            EucToJis(p, end, out);
        break;
    case KANJI_JIS:
        if (nOutCode == OUTCODE_SJIS)
            ParseJis<CJisToSjisSink>(p, end, out);
        else if (nOutCode == OUTCODE_EUC)
            ParseJis<CJisToEucSink>(p, end, out);
        else
            ParseJis<CJisToJisSink>(p, end, out);
        break;
    default:
        out.assign(reinterpret_cast<const char *>(p), static_cast<std::size_t>(end - p));
        break;
    }
    return out;
}

std::string ConvertKanjiCode(std::string_view input, int nOutCode)
{
    const std::size_t nLength = std::min(input.find('\0'), input.size());
    const std::string_view text = input.substr(0, nLength);
    return ConvertKanjiCodeFrom(text, DetectKanjiCode(text), nOutCode);
}
