// Test texts written in UTF-8 for tests of code that works on Shift-JIS
// bytes.
#pragma once

#include "text/codec.h"

#include <string>
#include <string_view>

// The Shift-JIS bytes of UTF-8 test text.
inline std::string S(std::string_view utf8)
{
    return Utf8ToCp932(utf8);
}
