#include "text/extrachars.h"
#include "text/sjis.h"

#include <cstdio>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif


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
    // The codes are found by their lead bytes (0xF0-0xF9), which are also
    // trail bytes of other characters: whether such a byte begins a
    // character is read back from the bytes before it. A byte that cannot
    // lead ends a character, and from there the bytes that can lead pair up.
    auto *const q = reinterpret_cast<unsigned char *>(p);
    std::size_t nBoundary = 0;  // where a character is known to begin; no byte before it is looked at again
    const auto visit = [&](std::size_t j) {
        if (j < nBoundary)
            return;
        std::size_t k = j;
        while (k > nBoundary && IsSjisLeadByte(q[k - 1]))
            --k;
        if ((j - k) % 2 != 0 || j + 1 == n) {
            nBoundary = j + 1;
            return;
        }
        const std::size_t nEntry = CExtraChars::IndexOfCode(q[j], q[j + 1]) - renumbering.nFirst;
        if (nEntry < renumbering.aCodes.size()) {
            const std::uint16_t nCode = renumbering.aCodes[nEntry];
            q[j] = static_cast<unsigned char>(nCode >> 8);
            q[j + 1] = static_cast<unsigned char>(nCode & 0xFF);
        }
        nBoundary = j + 2;
    };
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i vFirst = _mm_set1_epi8(static_cast<char>(EXTRA_LEAD_FIRST));
    const __m128i vLast = _mm_set1_epi8(static_cast<char>(EXTRA_LEAD_LAST));
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(q + i));
        const __m128i vIn = _mm_and_si128(_mm_cmpeq_epi8(_mm_max_epu8(v, vFirst), v),
                                          _mm_cmpeq_epi8(_mm_min_epu8(v, vLast), v));
        for (auto mask = static_cast<unsigned>(_mm_movemask_epi8(vIn)); mask; mask &= mask - 1)
            visit(i + static_cast<std::size_t>(__builtin_ctz(mask)));
    }
#endif
    for (; i < n; ++i) {
        if (q[i] >= EXTRA_LEAD_FIRST && q[i] <= EXTRA_LEAD_LAST)
            visit(i);
    }
}
