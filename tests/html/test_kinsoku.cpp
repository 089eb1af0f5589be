// The two kinsoku sets against every one-byte character and every character
// of the two symbol rows: a code missing from a table, or one too many, shows.
#include "html/textconv.h"
#include "text/codec.h"
#include "text/sjis.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

std::set<std::string> CharactersOf(const char *pszUtf8)
{
    const std::string text = Utf8ToCp932(pszUtf8);
    std::set<std::string> chars;
    for (std::size_t i = 0; i < text.size();) {
        const int n = SjisCharLength(text.data() + i, text.size() - i);
        chars.insert(text.substr(i, static_cast<std::size_t>(n)));
        i += static_cast<std::size_t>(n);
    }
    return chars;
}

} // namespace

TEST(Kinsoku, TheSetsHoldTheirCharactersAndNoOthers)
{
    const std::set<std::string> closing =
        CharactersOf("｡｣､･ﾞﾟ!%),.:;?]}｝］？；：．，）％！ヾヽ・ゞゝ゜゛〕】』」》〉々。、℃″′‰’°￠");
    const std::set<std::string> opening = CharactersOf("｢$([\\{￥｛［（＄〔【『「《〈“‘￡￠");
    ASSERT_EQ(closing.size(), 49u);
    ASSERT_EQ(opening.size(), 21u);
    // Every one-byte character and every double-byte character of the 0x81 and
    // 0x82 rows, so that the tables' neighbours are checked too.
    for (int b = 0; b < 0x100; ++b) {
        const std::string ch(1, static_cast<char>(b));
        EXPECT_EQ(IsKinsokuClosing(ch), closing.count(ch) == 1) << b;
        EXPECT_EQ(IsKinsokuOpening(ch), opening.count(ch) == 1) << b;
    }
    for (int lead : {0x81, 0x82}) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string ch{static_cast<char>(lead), static_cast<char>(trail)};
            EXPECT_EQ(IsKinsokuClosing(ch), closing.count(ch) == 1) << std::hex << lead << trail;
            EXPECT_EQ(IsKinsokuOpening(ch), opening.count(ch) == 1) << std::hex << lead << trail;
        }
    }
    EXPECT_FALSE(IsKinsokuClosing(Utf8ToCp932("ー")));
    EXPECT_FALSE(IsKinsokuClosing(""));
    EXPECT_FALSE(IsKinsokuOpening("ab"));
}
