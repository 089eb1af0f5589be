// Unicode text and a document's Shift-JIS bytes, through the document's
// table of extra characters.
//
// A document whose file is UTF-8, EUC-JP or JIS holds the characters
// Shift-JIS lacks as codes of its table: what is typed, pasted or searched
// for takes the codes a file of that document would give it, so the same
// character is the same bytes however it came in. A Shift-JIS document has
// no table (pExtra null) and uses the plain codec, where such characters
// become "?".
#pragma once

#include "text/extrachars.h"

#include <string>
#include <string_view>

// The document's bytes as UTF-16: the codes of the table as their
// characters, the rest as the codec reads them.
std::u16string DocTextToUtf16(std::string_view bytes, const CExtraChars *pExtra, int *pnInvalid = nullptr);

// The same as UTF-8.
std::string DocTextToUtf8(std::string_view bytes, const CExtraChars *pExtra);

// Unicode text into the document. With a table, each character Shift-JIS
// lacks takes its code (a new one when needed); "?" only once the table is
// full. pnUnmappable counts the "?"s, and pcFirst receives the first
// character that became one (0 for a lone surrogate).
std::string Utf16ToDocText(std::u16string_view text, CExtraChars *pExtra, int *pnUnmappable = nullptr,
                           char32_t *pcFirst = nullptr);

// The same from well-formed UTF-8 (CheckUtf8 says which is).
std::string Utf8ToDocText(std::string_view text, CExtraChars *pExtra, int *pnUnmappable = nullptr);

// The same for text to look for: no new entries. False when a character is
// neither in Shift-JIS nor in the table, so that nothing can match it.
bool Utf16ToDocTextFound(std::u16string_view text, const CExtraChars *pExtra, std::string &out,
                         char32_t *pcMissing = nullptr);

// The forms of dual-form characters in UTF-8 text, as a mask of the bits of
// forms seen; a character whose two forms are both there is left out.
unsigned DualFormsIn(std::string_view utf8);

// Document bytes of another table (a file read for insertion, another
// document's) in terms of pTo: each code of from gets pTo's code for its
// character. Without pTo (a Shift-JIS document) such characters become "?",
// counted as Utf16ToDocText does.
std::string RemapExtraChars(std::string_view bytes, const CExtraChars &from, CExtraChars *pTo,
                            int *pnUnmappable = nullptr, char32_t *pcFirst = nullptr);

// The first character of the table in the bytes, for refusing to write them
// where the table does not go (a Shift-JIS file); 0 when there is none.
// pnOffset receives its offset.
char32_t FindExtraChar(std::string_view bytes, const CExtraChars &extra, std::size_t *pnOffset = nullptr);

// Before a Shift-JIS document takes a table (saved in another code), the
// user-defined codes it already has become entries of their own (U+E000 and
// on, what they always stood for), so that no new entry takes their codes:
// UserAreaCodesUsed gives one past the highest such code's entry in some
// bytes, and SeedExtraChars fills an empty table up to there.
std::size_t UserAreaCodesUsed(std::string_view bytes);
void SeedExtraChars(CExtraChars &extra, std::size_t nTop);
