#include "text/kinsoku.h"

#include <algorithm>
#include <iterator>

namespace {

unsigned DoubleByteCode(std::string_view ch)
{
    return (static_cast<unsigned>(static_cast<unsigned char>(ch[0])) << 8) | static_cast<unsigned char>(ch[1]);
}

template <std::size_t N> bool Contains(const unsigned short (&aCodes)[N], unsigned nCode)
{
    return std::find(std::begin(aCodes), std::end(aCodes), nCode) != std::end(aCodes);
}

bool IsOneOf(std::string_view chars, char c)
{
    return chars.find(c) != std::string_view::npos;
}

} // namespace

bool IsKinsokuClosing(std::string_view ch)
{
    if (ch.size() == 1)
        return IsOneOf("\xA1\xA3\xA4\xA5\xDE\xDF!%),.:;?]}", ch[0]);
    // Every double-byte one is a symbol of the 0x81 row.
    if (ch.size() != 2 || ch[0] != '\x81')
        return false;
    // ｝］？；：．，）％！ヾヽ・ゞゝ゜゛〕】』」》〉々。、℃″′‰’°￠
    static constexpr unsigned short CLOSING[] = {
        0x8170, 0x816E, 0x8148, 0x8147, 0x8146, 0x8144, 0x8143, 0x816A, 0x8193, 0x8149, 0x8153,
        0x8152, 0x8145, 0x8155, 0x8154, 0x814B, 0x814A, 0x816C, 0x817A, 0x8178, 0x8176, 0x8174,
        0x8172, 0x8158, 0x8142, 0x8141, 0x818E, 0x818D, 0x818C, 0x81F1, 0x8166, 0x818B, 0x8191,
    };
    return Contains(CLOSING, DoubleByteCode(ch));
}

bool IsKinsokuOpening(std::string_view ch)
{
    if (ch.size() == 1)
        return IsOneOf("\xA2$([\\{", ch[0]);
    if (ch.size() != 2 || ch[0] != '\x81')
        return false;
    // ￥｛［（＄〔【『「《〈“‘￡￠
    static constexpr unsigned short OPENING[] = {
        0x818F, 0x816F, 0x816D, 0x8169, 0x8190, 0x816B, 0x8179, 0x8177,
        0x8175, 0x8173, 0x8171, 0x8167, 0x8165, 0x8192, 0x8191,
    };
    return Contains(OPENING, DoubleByteCode(ch));
}
