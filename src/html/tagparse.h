// Reading an existing tag: finding the tag around the caret, its name and its
// attributes, and splitting those into the fields a dialog knows and the rest
// ("その他").
//
// The scans test only ASCII bytes below 0x40 ('<', '>', '=', quotes, blanks),
// which never occur as the second byte of a Shift-JIS character, so values
// holding double-byte text come back byte for byte.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// Attribute names in lower case, mapped to their values as written (without
// their quotes). A name without a value maps to an empty value; of a name
// given twice the first counts.
using CTagAttributeMap = std::map<std::string, std::string>;

// The tag that holds byte nOffset of text: from its "<" up to and including
// its ">" (a ">" inside a quoted value does not close it). The caret counts
// as inside from the "<" on up to the ">". Comments, closing tags and
// declarations ("<!", "</", "<?") are no tags to edit, and neither is a tag
// that never closes. False when there is none.
bool FindTagAround(std::string_view text, std::size_t nOffset, std::size_t &nStart, std::size_t &nEnd);

// From the "<" at nStart: the index behind the tag's ">", or npos when the
// tag runs into the next "<" or the end. A quote opens a value only right
// behind "=", so that an apostrophe in a bare word does not swallow the tag.
std::size_t FindTagEnd(std::string_view text, std::size_t nStart);

// The name of a tag ("<FONT size=3>" gives "font").
std::string TagName(std::string_view strTag);

// The attributes of a tag: name=value, name="value", name='value' or a bare
// name, separated by blanks, tabs or line breaks.
CTagAttributeMap ParseTagAttributes(std::string_view strTag);

// The value of a known name (empty when absent), taking it off the map.
std::string TakeAttribute(CTagAttributeMap &attributes, std::string_view strName);

// What is left for "その他": name="value" (a value holding a double quote
// in single quotes) or the bare name, separated by blanks.
std::string OtherAttributesText(const CTagAttributeMap &attributes);
