// The character code a page declares in its head, rewritten to the code its
// document is saved in: a page made from a Shift-JIS template and saved as
// UTF-8 must not tell the browser it is Shift-JIS.
#pragma once

#include <string>
#include <string_view>

// Replaces the value of the first charset declaration of a <meta> element
// before </head> (charset="..." or content="text/html; charset=...") by
// strCharset. False when the page declares none; the text is then unchanged.
bool ReplaceDeclaredCharset(std::string &html, std::string_view strCharset);
