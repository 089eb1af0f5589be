// The attribute lists behind the completion pop-up (Ctrl+Space): TagAlign.ini
// gives the attributes of each tag, UsrAlign.ini words of the user's own for
// any key word. Both are text files of lines "key:item,item,..."; empty lines
// and lines beginning with "#" are passed over. An item written with a leading
// "@" is shown with the second icon.
#pragma once

#include <string>
#include <string_view>
#include <vector>

inline constexpr const char *TAGALIGN_FILE_NAME = "TagAlign.ini";
inline constexpr const char *USRALIGN_FILE_NAME = "UsrAlign.ini";

struct CAlignItem
{
    std::string strText;
    bool bSecondIcon = false;

    bool operator==(const CAlignItem &) const = default;
};

class CAlignList
{
public:
    // A missing or unreadable file gives an empty list.
    void Load(const std::string &strPath);
    void Parse(std::string_view bytes);
    bool IsEmpty() const { return m_aLines.empty(); }

    // The items of the first line whose key (blanks trimmed) equals strKey;
    // with bLowerKey the line's key is compared in lower case. Empty when no
    // line has that key.
    std::vector<CAlignItem> FindItems(std::string_view strKey, bool bLowerKey) const;

private:
    std::vector<std::string> m_aLines;  // the lines that hold a key
};

// The tag names offered when no attribute list applies, in lower case.
const std::vector<std::string> &FixedTagNames();

// What the pop-up offers at the caret, given the text of the caret's line up
// to the caret.
struct CCompletion
{
    std::vector<CAlignItem> aItems;
    // Where the chosen item goes: it replaces the line's bytes from nReplaceFrom
    // to the caret (a tag name being typed is completed, not repeated).
    int nReplaceFrom = 0;
    // The item the pop-up starts on: the first that begins with the part
    // being replaced (ASCII letters in either case), else the first. The
    // list itself stays whole.
    int nCurrent = 0;
};

// Inside a tag ("<" before the caret with no ">" between), the name after the
// "<" selects the TagAlign.ini line with that key; without one the fixed tag
// names are offered, replacing a name still being typed. Outside a tag, the
// word in front of the caret is looked up in UsrAlign.ini and its items are
// inserted behind it.
CCompletion FindCompletion(std::string_view lineBeforeCaret, const CAlignList &tagAlign,
                           const CAlignList &usrAlign);
