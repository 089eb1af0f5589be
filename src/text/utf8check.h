// Reading a byte run as UTF-8 without decoding it: the one check behind the
// character-code guesses, the preview's page reading and archive names.
#pragma once

#include <string_view>

enum class EUtf8Check
{
    Invalid,    // a byte no well-formed UTF-8 sequence allows
    AsciiOnly,  // well-formed, nothing above 0x7F
    Wide,       // well-formed, with at least one character beyond ASCII
};

// Overlong forms, surrogates and code points past U+10FFFF are invalid. When
// bWhole is false the bytes are a sample cut from a longer text: a sequence cut
// by the sample's end counts as well-formed once a whole wide character came
// before it.
EUtf8Check CheckUtf8(std::string_view bytes, bool bWhole = true);

// Whether bytes that begin a text, or follow a whole character of it,
// already hold a sequence UTF-8 does not allow: then the text is no UTF-8
// however it goes on. A sequence cut by the end of the bytes proves nothing.
bool IsNeverUtf8(std::string_view bytes);
