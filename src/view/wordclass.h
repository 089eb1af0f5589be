// Word boundaries in mixed Japanese and ASCII text.
//
// Single bytes are word characters (ASCII letters, digits, '_'), white space
// (ASCII white space) or punctuation (everything else, bytes 0x80 and above
// included). A double-byte character is hiragana, katakana (the prolonged
// sound mark "ー" continues either run), Japanese punctuation (、。（）「」 ...)
// or other (kanji, full-width letters and digits).
#pragma once

#include <string_view>

enum ECharClass
{
    CHARCLASS_WORD,        // ASCII letters, digits, '_'
    CHARCLASS_SPACE,       // ASCII white space
    CHARCLASS_PUNCT,       // any other single byte
    CHARCLASS_KANA_HALF,   // half-width katakana 0xA1-0xDF (mouse selection only)
    CHARCLASS_HIRAGANA,
    CHARCLASS_KATAKANA,
    CHARCLASS_DBCS_PUNCT,  // 、 。 ， ． ： ー （ ） 〔 〕 ［ ］ ｛ ｝ 〈 〉 《 》 「 」 『 』 【 】 － ＜ ＞
    CHARCLASS_DBCS_OTHER,
};

inline constexpr unsigned SJIS_PROLONGED_MARK = 0x815B;  // ー

// Japanese punctuation that ends a run of other double-byte characters.
bool IsDbcsWordBreak(unsigned nCode);
bool IsSjisHiragana(unsigned nCode);
bool IsSjisKatakana(unsigned nCode);

// The class of a double-byte character code (lead << 8 | trail).
ECharClass DbcsCharClass(unsigned nCode);

// Keyboard word moves within one line, from a character boundary nPos:
// the position after the word (and the blanks after it) to the right, and to
// the left the last position before nPos where moves to the right from the
// line start stop, so that both directions stop at the same places. They
// never stop inside a character.
int WordRightInLine(std::string_view line, int nPos);
int WordLeftInLine(std::string_view line, int nPos);

// Mouse word selection: the word around nPos (a run of one class; blanks and
// ASCII punctuation give an empty word at nPos).
void MouseWordBounds(std::string_view line, int nPos, int &nStart, int &nEnd);
