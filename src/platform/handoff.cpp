#include "platform/handoff.h"

#include "platform/copydata.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

constexpr std::string_view MAGIC = "WPHO";
constexpr std::size_t HEADER_SIZE = 12;
constexpr std::size_t MAX_PATH_BYTES = 4096;

void PutU32(std::string &s, std::uint32_t n)
{
    for (int i = 0; i < 4; ++i)
        s.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
}

std::uint32_t GetU32(std::string_view s, std::size_t nPos)
{
    std::uint32_t n = 0;
    for (int i = 0; i < 4; ++i)
        n |= std::uint32_t(static_cast<unsigned char>(s[nPos + static_cast<std::size_t>(i)])) << (8 * i);
    return n;
}

bool IsValidPath(std::string_view path)
{
    return !path.empty() && path.size() < MAX_PATH_BYTES && path.find('\0') == std::string_view::npos;
}

// A decimal number with an optional sign; values beyond int are clamped.
bool ParseLineNumber(std::string_view text, int &nLine)
{
    bool bNegative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        bNegative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 32)
        return false;
    long long n = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9')
            return false;
        n = std::min<long long>(n * 10 + (ch - '0'), INT_MAX);
    }
    nLine = bNegative ? 1 : std::max<int>(1, static_cast<int>(n));
    return true;
}

} // namespace

bool ParseHandoff(int nCode, std::string_view payload, CHandoff &handoff)
{
    if (payload.size() > HANDOFF_MAX_PAYLOAD)
        return false;
    if (!payload.empty() && payload.back() == '\0')
        payload.remove_suffix(1);
    if (nCode == COPYDATA_OPEN_FILE) {
        if (!IsValidPath(payload))
            return false;
        handoff = CHandoff{std::string(payload), 0};
        return true;
    }
    if (nCode == COPYDATA_OPEN_FILE_AT_LINE) {
        const std::size_t nTab = payload.rfind('\t');
        if (nTab == std::string_view::npos)
            return false;
        const std::string_view path = payload.substr(0, nTab);
        int nLine = 0;
        if (!IsValidPath(path) || !ParseLineNumber(payload.substr(nTab + 1), nLine))
            return false;
        handoff = CHandoff{std::string(path), nLine};
        return true;
    }
    return false;
}

std::string EncodeHandoffMessage(int nCode, std::string_view payload)
{
    std::string s(MAGIC);
    PutU32(s, static_cast<std::uint32_t>(nCode));
    PutU32(s, static_cast<std::uint32_t>(payload.size()));
    s.append(payload);
    return s;
}

EHandoffDecode DecodeHandoffMessage(std::string_view bytes, int &nCode, std::string &strPayload)
{
    const std::size_t nMagic = std::min(bytes.size(), MAGIC.size());
    if (bytes.substr(0, nMagic) != MAGIC.substr(0, nMagic))
        return HANDOFF_INVALID;
    if (bytes.size() < HEADER_SIZE)
        return HANDOFF_INCOMPLETE;
    const std::uint32_t nRawCode = GetU32(bytes, 4);
    const std::uint32_t nLength = GetU32(bytes, 8);
    if ((nRawCode != HANDOFF_ACTIVATE && nRawCode != COPYDATA_OPEN_FILE && nRawCode != COPYDATA_OPEN_FILE_AT_LINE)
        || nLength > HANDOFF_MAX_PAYLOAD)
        return HANDOFF_INVALID;
    if (bytes.size() < HEADER_SIZE + nLength)
        return HANDOFF_INCOMPLETE;
    if (bytes.size() > HEADER_SIZE + nLength)
        return HANDOFF_INVALID;
    nCode = static_cast<int>(nRawCode);
    strPayload = std::string(bytes.substr(HEADER_SIZE, nLength));
    return HANDOFF_COMPLETE;
}
