// The character codes a file may be written in, and the exact conversion
// between a file's bytes and the document's Shift-JIS (CP932) bytes.
//
// The document always holds Shift-JIS. A file in UTF-8, EUC-JP or ISO-2022-JP
// is converted when it is read and converted back when it is written, and
// only where the way back gives the file's own bytes again: Unicode has two
// forms of some Shift-JIS characters (WAVE DASH and FULLWIDTH TILDE ...), so
// the form a file used is remembered and written back, and the escape
// sequences of a JIS file are written the way the file wrote them. A file
// that cannot come back unchanged is reported with the first character (and
// its line) that is in the way.
#pragma once

#include "text/extrachars.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

enum class ETextCode
{
    Sjis,
    Utf8,
    Utf8Bom,
    Euc,
    Jis,
};

inline constexpr int TEXT_CODE_COUNT = 5;

// "SJIS", "UTF8", "UTF8BOM", "EUC", "JIS": the names scripts and settings use.
const char *TextCodeTag(ETextCode eCode);
// The tag back; false for an unknown name (case does not matter).
bool ParseTextCodeTag(std::string_view strTag, ETextCode &eCode);
// The name of the code in an HTML charset: "Shift_JIS", "UTF-8", "EUC-JP", "ISO-2022-JP".
const char *TextCodeCharset(ETextCode eCode);
// The name the user sees (status bar, dialogs), UTF-8.
const char *TextCodeLabel(ETextCode eCode);

// The two Unicode forms some Shift-JIS characters have; the first is what
// the document's codec reads the Shift-JIS code as.
struct CDualForm
{
    std::uint16_t nSjis;
    char32_t cUsual;
    char32_t cOther;
};
inline constexpr std::array<CDualForm, 7> DUAL_FORMS = {{
    {0x815C, 0x2015, 0x2014},  // horizontal bar / em dash
    {0x8160, 0xFF5E, 0x301C},  // fullwidth tilde / wave dash
    {0x8161, 0x2225, 0x2016},  // parallel to / double vertical line
    {0x817C, 0xFF0D, 0x2212},  // fullwidth hyphen-minus / minus sign
    {0x8191, 0xFFE0, 0x00A2},  // cent sign
    {0x8192, 0xFFE1, 0x00A3},  // pound sign
    {0x81CA, 0xFFE2, 0x00AC},  // not sign
}};

// How a file writes what has more than one way: the Unicode form of each
// dual-form character, and a JIS file's escape sequences.
struct CTextForms
{
    std::array<bool, DUAL_FORMS.size()> abOther{};  // the file uses cOther
    char chKanjiIn = 'B';      // ESC $ B, or ESC $ @
    char chAsciiIn = 'B';      // ESC ( B, or ESC ( J
    bool bKanaShift = false;   // half-width katakana between SO and SI instead of ESC ( I
    friend bool operator==(const CTextForms &, const CTextForms &) = default;
};

// The dual forms a document in eCode does not hold under their shared
// Shift-JIS code (CExtraChars::ForeignForms): in UTF-8 each form other than
// the file's; none in EUC-JP and JIS, where both forms are one character.
inline unsigned ForeignForms(ETextCode eCode, const CTextForms &forms)
{
    if (eCode != ETextCode::Utf8 && eCode != ETextCode::Utf8Bom)
        return 0;
    unsigned nMask = 0;
    for (std::size_t i = 0; i < forms.abOther.size(); ++i)
        nMask |= 1u << (2 * i + (forms.abOther[i] ? 0 : 1));
    return nMask;
}

enum class ETextProblem
{
    None,
    NoSjisForm,    // a character the document cannot hold
    TwoForms,      // both forms of one dual-form character
    Malformed,     // bytes that are not text in the code
    Irregular,     // JIS escape sequences placed in a way the writer does not repeat
    TooManyExtra,  // more characters beyond Shift-JIS than the user-defined area has codes
};

struct CDecodedText
{
    ETextCode eCode = ETextCode::Sjis;
    std::string strText;       // Shift-JIS; "?" for what has no code
    CTextForms forms;
    CExtraChars extra{};       // the codes of the characters beyond Shift-JIS
    ETextProblem eProblem = ETextProblem::None;
    // Where the first problem is: its line (from 1), the character (0 when
    // the bytes are no character), and for TwoForms the form seen first.
    int nProblemLine = 0;
    char32_t cProblem = 0;
    char32_t cProblemOther = 0;
    bool IsExact() const { return eProblem == ETextProblem::None; }
};

// What decoding found besides the text and its code (the forms, the table,
// the first problem), into a decoded text or a document's code state.
template <typename TState>
void CopyDecodeFindings(TState &to, CDecodedText &&from)
{
    to.forms = from.forms;
    to.eProblem = from.eProblem;
    to.nProblemLine = from.nProblemLine;
    to.cProblem = from.cProblem;
    to.cProblemOther = from.cProblemOther;
    to.extra = std::move(from.extra);
}

// The code of a file from its bytes: a byte-order mark, or valid UTF-8 with a
// character beyond ASCII, is UTF-8; then the kanji detection decides between
// Shift-JIS, EUC-JP and JIS. eAscii is the answer for a text that decides
// nothing (ASCII only, or empty).
// Where finding the code meant decoding the text (EUC-JP, JIS), pText, when
// given, receives that Shift-JIS text; else it is left empty. pExtra, when
// given, is the table such a text starts with, and receives its table.
ETextCode DetectTextCode(std::string_view bytes, ETextCode eAscii = ETextCode::Sjis, std::string *pText = nullptr,
                         CExtraChars *pExtra = nullptr);

// The length of the run at p of bytes that every code reads as the same
// ASCII: below 0x80, and none of ESC, SO and SI (which switch a JIS text's
// mode).
std::size_t PlainTextRun(const char *p, std::size_t n);

// Of bytes the kanji detection takes for EUC-JP, whether EUC-JP is the
// likelier reading rather than Shift-JIS: half-width katakana (0xA1-0xDF)
// two at a time look like EUC-JP kanji. EUC-JP wins when the Shift-JIS
// reading breaks (a byte or pair Shift-JIS has not, or the user-defined
// area), or when its own reading looks like Japanese: kana and the
// punctuation of JIS row 1 make up a good part of any Japanese text, and they
// seldom come out of half-width katakana read two at a time. In doubt, and
// for bytes that are no EUC-JP at all, Shift-JIS.
bool EucReadingIsLikelier(std::string_view bytes);

// Whether bytes of a file already show that DetectTextCode takes the whole
// file for Shift-JIS, however it goes on: a sequence UTF-8 does not allow,
// and a pair only Shift-JIS has before anything that points elsewhere. The
// bytes must begin the file, or follow nothing but bytes below 0x80 other
// than ESC, SO and SI (which leave every decision as it is). For reading a
// file a block at a time; false means only that more of it is needed.
bool BytesShowSjis(std::string_view part);

// Converts a file's bytes into the document's Shift-JIS. DecodeFileText
// detects the code; an EUC-JP or JIS guess whose bytes are malformed falls
// back to Shift-JIS. DecodeFileTextAs takes the code the user names and
// reports what does not fit. Shift-JIS is taken byte for byte; without
// bCopySjis its text stays empty, for a caller that takes the bytes itself.
// In the other codes each character Shift-JIS lacks takes a code of the
// result's table of extra characters; beyond the table's limit the text is
// not exact (TooManyExtra, naming the first character that found it full).
CDecodedText DecodeFileText(std::string_view bytes, ETextCode eAscii = ETextCode::Sjis, bool bCopySjis = true);
CDecodedText DecodeFileTextAs(std::string_view bytes, ETextCode eCode);

// Decodes UTF-8 into Shift-JIS a block at a time, so that a large file is
// loaded without a converted copy of it in memory. A byte-order mark at the
// start is skipped. A character without a Shift-JIS form takes a code of the
// result's table of extra characters ("?" once that is full). With bBail a
// malformed sequence ends the work (IsMalformed); otherwise it becomes "?".
class CUtf8StreamDecoder
{
public:
    CUtf8StreamDecoder(std::string_view bytes, bool bBail, bool bBom);
    // Decodes into [pOut, pOut + nCap) (nCap of 4 or more); the bytes
    // written, 0 once everything is decoded or the work has ended. The block
    // takes at most nCap bytes of input and ends before a character that
    // would cross that line (unless the character is all there is). No byte
    // is written past as many as are read, whatever the room: a buffer as
    // long as the text is room enough.
    std::size_t Decode(char *pOut, std::size_t nCap);
    bool IsMalformed() const { return m_bMalformed; }
    bool IsWide() const { return m_bWide; }
    bool IsDone() const { return m_bMalformed || m_nPos >= m_nEnd; }
    // The table of extra characters: what it starts with (before the first
    // Decode), and what it holds so far.
    void SeedExtra(const CExtraChars &extra) { m_result.extra = extra; }
    // Dual forms (a mask of the bits of forms seen) taken as met before the
    // text: each keeps the shared Shift-JIS code, and its other form takes a
    // code of the table wherever it stands.
    void SeedForms(unsigned nSeen) { m_nSeen |= nSeen; }
    const CExtraChars &Extra() const { return m_result.extra; }
    // The code, the forms and the first problem (no text).
    CDecodedText Result() const;

    // Two threads on one text: Split leaves this decoder the bytes before nAt
    // (moved on past trail bytes, to where a character starts) and returns a
    // decoder of the rest, starting from this one's state as it stands, to be
    // run at the same time. Once this decoder has decoded its part, Join
    // takes the other's results when they are exactly those this one would
    // have come to going on (true: this decoder then stands where the other
    // stopped, and the other's output follows its own); otherwise (a dual
    // form met in one form on one side and in the other on the other, new
    // characters of the table on both sides without pRenumbering, a table
    // that would overflow) this decoder stands at the cut with the rest
    // still to decode (false). With pRenumbering, new characters on both
    // sides join too: the other's output then takes their codes in the
    // joined table through RenumberExtraCodes.
    CUtf8StreamDecoder Split(std::size_t nAt);
    bool Join(const CUtf8StreamDecoder &second, CExtraRenumbering *pRenumbering = nullptr);

private:
    void Problem(ETextProblem eProblem, const unsigned char *pAt, char32_t c = 0, char32_t cOther = 0);

    std::string_view m_bytes;
    std::size_t m_nPos = 0;
    std::size_t m_nEnd = 0;         // where this decoder's part of the bytes ends
    std::size_t m_nSplitExtra = 0;  // the size of the table at the last Split
    bool m_bBail;
    bool m_bMalformed = false;
    bool m_bWide = false;
    unsigned m_nSeen = 0;  // the dual forms seen, two bits for each (SeenBitOf)
    CDecodedText m_result;
    // The table's code of each character of the basic plane (its bytes in the
    // order they are written), 0 for none: a lookup the vector blocks can
    // make without a branch. Empty while the table is.
    std::vector<std::uint16_t> m_aExtraMap;
    void MapExtra(char32_t c, std::uint16_t nCode);
};

// Writes Shift-JIS text in a file code, piece by piece (the JIS writer keeps
// its escape state from one piece to the next). Encode works on raw memory
// for a caller that writes large texts through a buffer of its own; Append
// on a string. Both stop at the first character the code cannot hold, having
// written everything before it.
class CTextEncoder
{
public:
    enum class EStop
    {
        Done,         // the input is used up
        Full,         // fewer than ENCODE_ROOM bytes of room are left
        Unencodable,  // the input points at a character the code cannot hold
    };
    // Encode goes on while this much room is left, so a buffer of this size
    // always takes at least one character.
    static constexpr std::size_t ENCODE_ROOM = 32;

    // The codes of pExtra (kept by the caller for as long as the encoder
    // works) are written as their characters; without it, or for a code
    // past its end, the user-defined area is what the code's own table says.
    CTextEncoder(ETextCode eCode, const CTextForms &forms, const CExtraChars *pExtra = nullptr);
    // The byte-order mark of UTF-8 with BOM; nothing for the other codes.
    std::string_view Preamble() const;
    // Encodes [pIn, pInEnd) into [pOut, pOutEnd), advancing both.
    EStop Encode(const char *&pIn, const char *pInEnd, char *&pOut, char *pOutEnd);
    // Returns a JIS text to ASCII at its end; needs ENCODE_ROOM bytes of room.
    void Finish(char *&pOut);

    void Begin(std::string &out) const { out.append(Preamble()); }
    bool Append(std::string_view sjis, std::string &out);
    void Finish(std::string &out);
    // After a failed Append: the offset of the character in that piece.
    std::size_t GetFailOffset() const { return m_nFailOffset; }

private:
    EStop EncodeUtf8(const char *&pIn, const char *pInEnd, char *&pOut, char *pOutEnd);
    EStop EncodeEuc(const char *&pIn, const char *pInEnd, char *&pOut, char *pOutEnd);
    EStop EncodeJis(const char *&pIn, const char *pInEnd, char *&pOut, char *pOutEnd);

    // Shift-JIS as it stands, up to a code of the table (which a Shift-JIS
    // file cannot hold, but for a user-defined character, written at its own
    // code).
    EStop EncodeSjisWithoutExtra(const char *&pIn, const char *pInEnd, char *&pOut, char *pOutEnd);
    // The bytes of a character of the table in EUC-JP or JIS; false when
    // the code has none.
    bool EncodeExtraSevenBit(char32_t c, char *&q);

    ETextCode m_eCode;
    CTextForms m_forms;
    const CExtraChars *m_pExtra;
    int m_nJisMode = 0;  // 0 ASCII, 1 kanji, 2 kana, 3 JIS X 0212
    std::size_t m_nFailOffset = 0;
};

// A whole text encoded; false (with the offset of the character in the way)
// when it has a character the code cannot hold.
bool EncodeFileText(std::string_view sjis, ETextCode eCode, const CTextForms &forms, std::string &out,
                    std::size_t *pnFailOffset = nullptr, const CExtraChars *pExtra = nullptr);

// The Unicode character of a Shift-JIS character as a file in eCode writes it
// (the dual forms as forms says); 0 when it has none. For messages.
// A code of pExtra is its character.
char32_t SjisCharToUnicode(std::string_view sjisChar, const CTextForms &forms = {},
                           const CExtraChars *pExtra = nullptr);
