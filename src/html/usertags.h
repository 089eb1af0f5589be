// The user's own tags: pairs of an opening and a closing text under a title,
// kept in the file usertag.ini of the program folder and shown as numbered
// items of the tag menu. The file is the only lasting store: every change
// reads it, changes the list and writes it back.
//
// The file is Shift-JIS text with CR LF line ends:
//     //<two comment lines>
//     #tag=title
//     1st=first line of the opening text     (one such line per line)
//     2nd=first line of the closing text     (likewise)
//     #end
// The markers are recognised in any letter case. A text of several lines
// is held joined with CR LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

inline constexpr int USERTAG_MAX_COUNT = 99;
inline constexpr const char *USERTAG_FILE_NAME = "usertag.ini";

class CUserTagList
{
public:
    // Replaces the list with the entries of the file; a missing or unreadable
    // file leaves the list empty. Lines that are not part of an entry are
    // passed over; reading stops after the 99th entry.
    void Load(const std::string &strPath);
    // Writes the whole list in place of the file (replaced in one step, so a
    // failed write leaves the old file). False when it cannot be written.
    bool Save(const std::string &strPath) const;

    // The same on the file's bytes.
    void Parse(std::string_view bytes);
    std::string Format() const;

    int GetCount() const { return static_cast<int>(m_astrTitle.size()); }
    const std::string &GetTitle(int nIndex) const { return m_astrTitle[static_cast<std::size_t>(nIndex)]; }
    // False for an index outside the list.
    bool GetEntry(int nIndex, std::string &strOpen, std::string &strClose) const;
    // False (nothing added) when the list already holds 99 entries.
    bool Add(std::string_view strTitle, std::string_view strOpen, std::string_view strClose);
    bool SetAt(int nIndex, std::string_view strTitle, std::string_view strOpen, std::string_view strClose);
    void RemoveAt(int nIndex);
    // Inserts before nIndex (at the end for GetCount()); for moving entries.
    void InsertAt(int nIndex, std::string_view strTitle, std::string_view strOpen, std::string_view strClose);
    void Move(int nFrom, int nTo);
    void CopyFrom(const CUserTagList &other) { *this = other; }
    void RemoveAll();

private:
    std::vector<std::string> m_astrTitle;
    std::vector<std::string> m_astrOpen;
    std::vector<std::string> m_astrClose;
};

// The title 1305 gives a selection: the text up to the first CR, LF or tab,
// cut to 30 bytes without splitting a double-byte character.
std::string UserTagTitleFromText(std::string_view text);
// Selections this long or longer are not taken as a user tag.
inline constexpr std::size_t USERTAG_MAX_SELECTION = 4096;
