#include "text/extrachars.h"
#include "text/sjis.h"

#include <cstdio>
#include <utility>


std::uint16_t CExtraChars::Add(char32_t c)
{
    if (const std::uint16_t nCode = Find(c))
        return nCode;
    if (IsFull())
        return 0;
    if (m_aSlots.empty())
        m_aSlots.assign(SLOTS, 0);
    m_aChars.push_back(c);
    std::size_t nSlot = SlotOf(c);
    while (m_aSlots[nSlot] != 0)
        nSlot = (nSlot + 1) & (SLOTS - 1);
    m_aSlots[nSlot] = static_cast<std::uint16_t>(m_aChars.size());
    return CodeOfIndex(m_aChars.size() - 1);
}

std::string CExtraChars::ToWord() const
{
    if (m_aChars.empty())
        return "-";
    std::string s;
    for (const char32_t c : m_aChars) {
        char hex[12];
        std::snprintf(hex, sizeof hex, "%s%X", s.empty() ? "" : ",", static_cast<unsigned>(c));
        s += hex;
    }
    return s;
}

bool CExtraChars::FromWord(std::string_view word)
{
    CExtraChars read;
    if (word != "-") {
        while (true) {
            const std::size_t nComma = word.find(',');
            const std::string_view hex = word.substr(0, nComma);
            if (hex.empty() || hex.size() > 6)
                return false;
            std::uint32_t c = 0;
            for (const char ch : hex) {
                const int nDigit = ch >= '0' && ch <= '9' ? ch - '0' : ch >= 'A' && ch <= 'F' ? ch - 'A' + 10 : -1;
                if (nDigit < 0)
                    return false;
                c = c * 16 + static_cast<std::uint32_t>(nDigit);
            }
            // Each character once, and only what a text can hold.
            if (c < 0x80 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) || read.Find(c) != 0 || read.Add(c) == 0)
                return false;
            if (nComma == std::string_view::npos)
                break;
            word.remove_prefix(nComma + 1);
        }
    }
    *this = std::move(read);
    return true;
}

void RenumberExtraCodes(char *p, std::size_t n, const CExtraRenumbering &renumbering)
{
    if (renumbering.aCodes.empty())
        return;
    auto *q = reinterpret_cast<unsigned char *>(p);
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = q[i];
        if (!IsSjisLeadByte(c) || i + 1 == n) {
            ++i;
            continue;
        }
        const std::size_t nEntry = CExtraChars::IndexOfCode(c, q[i + 1]) - renumbering.nFirst;
        if (nEntry < renumbering.aCodes.size()) {
            const std::uint16_t nCode = renumbering.aCodes[nEntry];
            q[i] = static_cast<unsigned char>(nCode >> 8);
            q[i + 1] = static_cast<unsigned char>(nCode & 0xFF);
        }
        i += 2;
    }
}
