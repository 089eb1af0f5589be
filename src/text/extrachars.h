// The characters a document holds that Shift-JIS has no code for.
//
// A document whose file is UTF-8, EUC-JP or JIS keeps its text in Shift-JIS
// like every other, and each character Shift-JIS lacks (a copyright sign, an
// accented letter, an emoji, a JIS X 0212 kanji, a user-defined character of
// the file) takes one code of the Shift-JIS user-defined area, lead bytes
// 0xF0-0xF9 with trail bytes 0x40-0x7E and 0x80-0xFC, given out in the order
// the characters are first met. Every routine that works on the document's
// bytes keeps its rules; only where the bytes meet Unicode (the file, the
// screen, the clipboard, search text) is the table asked what a code stands
// for. The table only grows: a code once given out keeps its character for
// as long as the document is open, so undo never meets a code it lacks.
//
// A Shift-JIS document has no table: its user-defined codes are its own.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// 10 lead bytes of 188 trail bytes each.
inline constexpr std::size_t EXTRA_CHAR_LIMIT = 1880;
inline constexpr unsigned char EXTRA_LEAD_FIRST = 0xF0;
inline constexpr unsigned char EXTRA_LEAD_LAST = 0xF9;

class CExtraChars
{
public:
    CExtraChars() = default;

    std::size_t Size() const { return m_aChars.size(); }
    bool IsEmpty() const { return m_aChars.empty(); }
    bool IsFull() const { return m_aChars.size() >= EXTRA_CHAR_LIMIT; }
    // The characters in the order of their codes.
    const std::vector<char32_t> &Chars() const { return m_aChars; }

    // The Shift-JIS code (lead * 256 + trail) of a character in the table; 0
    // when the table lacks it.
    std::uint16_t Find(char32_t c) const
    {
        if (m_aChars.empty())
            return 0;
        for (std::size_t nSlot = SlotOf(c);; nSlot = (nSlot + 1) & (SLOTS - 1)) {
            const std::uint16_t nEntry = m_aSlots[nSlot];
            if (nEntry == 0)
                return 0;
            if (m_aChars[nEntry - 1u] == c)
                return CodeOfIndex(nEntry - 1u);
        }
    }
    // The code of a character, given a new one when the table lacks it; 0
    // when it lacks it and is full.
    std::uint16_t Add(char32_t c);

    // The character a code of the user-defined area stands for; 0 when the
    // code is outside the area or not given out.
    char32_t CharOf(unsigned char lead, unsigned char trail) const
    {
        const std::size_t i = IndexOfCode(lead, trail);
        return i < m_aChars.size() ? m_aChars[i] : 0;
    }
    char32_t CharOf(std::uint16_t nCode) const
    {
        return CharOf(static_cast<unsigned char>(nCode >> 8), static_cast<unsigned char>(nCode & 0xFF));
    }

    // The code of the i-th entry, and the entry of a code (EXTRA_CHAR_LIMIT
    // or more for a code outside the area).
    static std::uint16_t CodeOfIndex(std::size_t i)
    {
        const auto nTrail = static_cast<unsigned>(i % 188);
        const unsigned nLead = EXTRA_LEAD_FIRST + static_cast<unsigned>(i / 188);
        return static_cast<std::uint16_t>(nLead << 8 | (nTrail < 63 ? 0x40 + nTrail : 0x41 + nTrail));
    }
    static std::size_t IndexOfCode(unsigned char lead, unsigned char trail)
    {
        if (lead < EXTRA_LEAD_FIRST || lead > EXTRA_LEAD_LAST || trail < 0x40 || trail > 0xFC || trail == 0x7F)
            return EXTRA_CHAR_LIMIT;
        return static_cast<std::size_t>(lead - EXTRA_LEAD_FIRST) * 188 + (trail < 0x7F ? trail - 0x40u : trail - 0x41u);
    }

    // The forms of dual-form characters (～ and 〜 ...) that the shared
    // Shift-JIS code does not stand for in this document, as a mask of the
    // bits of forms seen (two for each character, the lower one its usual
    // form): such a form typed, pasted or searched for takes a code of the
    // table, as the form a file meets second does. Set from the document's
    // code and forms; not part of the word below.
    unsigned ForeignForms() const { return m_nForeignForms; }
    void SetForeignForms(unsigned nMask) { m_nForeignForms = nMask; }

    // The table as one word of ASCII ("-" when empty, else the code points in
    // hex joined by commas), for records kept on disk; and back. False for a
    // word this program did not write (the table is then left as it was).
    std::string ToWord() const;
    bool FromWord(std::string_view word);

    friend bool operator==(const CExtraChars &a, const CExtraChars &b) { return a.m_aChars == b.m_aChars; }

private:
    // An open-addressed index of the entries (entry + 1, 0 for an empty slot):
    // more than twice the entries, so a probe seldom takes a second step.
    static constexpr std::size_t SLOTS = 4096;
    static std::size_t SlotOf(char32_t c) { return (static_cast<std::uint32_t>(c) * 2654435761u) >> 20; }

    std::vector<char32_t> m_aChars;
    std::vector<std::uint16_t> m_aSlots;
    unsigned m_nForeignForms = 0;
};

// New codes for the entries of a table from nFirst on (aCodes[i] for the
// entry nFirst + i): text decoded with that table, put after text whose
// table met other characters first, takes the codes of the joined table.
struct CExtraRenumbering
{
    std::size_t nFirst = 0;
    std::vector<std::uint16_t> aCodes;
};

// Rewrites the codes of those entries in Shift-JIS bytes, in place (a code
// for a code); the bytes begin at a character.
void RenumberExtraCodes(char *p, std::size_t n, const CExtraRenumbering &renumbering);
