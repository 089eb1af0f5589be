// The one conversion between document bytes (CP932) and Unicode.
//
// Decoding never changes what a byte means for editing: every byte or byte
// pair of the input gives exactly one code point, and a byte that is not valid
// CP932 decodes to CODEC_INVALID so that it can be drawn as a visible mark.
// Document bytes are never round-tripped through Unicode; this is for drawing,
// the clipboard's Unicode form, dialog fields and messages only.
#pragma once

#include <string>
#include <string_view>

inline constexpr char32_t CODEC_INVALID = 0xFFFD;

// Decodes the character that starts at p[0] of [p, p + n) (n > 0) and stores its
// byte count (1 or 2) in nBytes. Invalid bytes and unmapped pairs give CODEC_INVALID.
char32_t Cp932DecodeChar(const char *p, std::size_t n, int &nBytes);

// Whole-string decoding. pnInvalid, if given, receives the number of characters
// that decoded to CODEC_INVALID.
std::u16string Cp932ToUtf16(std::string_view bytes, int *pnInvalid = nullptr);
// The same into pOut, which has room for bytes.size() units (no character
// takes more units than it has bytes); the number of units written.
std::size_t Cp932ToUtf16(std::string_view bytes, char16_t *pOut, int *pnInvalid = nullptr);
// Appends the UTF-8 bytes of one character.
void AppendUtf8(std::string &out, char32_t c);

std::string Cp932ToUtf8(std::string_view bytes, int *pnInvalid = nullptr);

// Encoding. A character with no CP932 form (or a malformed input sequence)
// becomes "?"; pnUnmappable, if given, receives how many there were.
std::string Utf16ToCp932(std::u16string_view text, int *pnUnmappable = nullptr);
std::string Utf8ToCp932(std::string_view text, int *pnUnmappable = nullptr);
