// Taking a reference apart: what kind of address it is, and its path and
// fragment with their %-escapes decoded.
#pragma once

#include <string>
#include <string_view>

enum ESiteRefForm
{
    SITEREFFORM_NONE,      // nothing to check: empty, the page itself, javascript:, data:
    SITEREFFORM_FRAGMENT,  // "#name" in the same page
    SITEREFFORM_RELATIVE,  // a path from the page's folder
    SITEREFFORM_ROOT,      // "/path", from the server's root
    SITEREFFORM_FILE,      // file: with a local path (strPath absolute)
    SITEREFFORM_NETWORK,   // http:, https:, mailto:, "//host", any other scheme
};

struct CSiteRefParts
{
    ESiteRefForm eForm = SITEREFFORM_NONE;
    std::string strPath;      // decoded, without query and fragment
    std::string strFragment;  // decoded, without '#'
    bool bFragment = false;   // the reference has a '#'
};

CSiteRefParts SplitReference(std::string_view value);

// Decodes %-escapes. The escaped bytes are UTF-8 as a rule; when they are
// not, they are read as Shift-JIS, the code older pages escaped names in.
// A '%' that starts no escape stays as it is.
std::string PercentDecode(std::string_view s);

// A width or height attribute as pixels ("120" or "120px"); -1 for a
// percentage or anything else.
int PixelValue(std::string_view s);
