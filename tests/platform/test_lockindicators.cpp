// When the editor asks the X server for the lock indicators: only after the
// keys that can switch them or a change of keyboard group, never for each key.
#include "platform/lockindicators.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t SHIFT_LOCK_MOD2 = 0x01 | 0x02 | 0x10;
constexpr std::uint32_t GROUP2 = 1u << 13;
constexpr std::uint32_t GROUP4 = 3u << 13;

} // namespace

TEST(LockIndicators, KeysThatSwitchAnIndicatorOrTheGroup)
{
    for (std::uint32_t nKeysym : {0xff14u /* Scroll_Lock */, 0xff2du /* Kana_Lock */, 0xff2eu /* Kana_Shift */,
                                  0xff21u /* Kanji */, 0xff27u /* Hiragana_Katakana */, 0xff30u /* Eisu_toggle */,
                                  0xff7eu /* Mode_switch */, 0xfe06u /* ISO_Group_Latch */,
                                  0xfe08u /* ISO_Next_Group */, 0xfe0fu /* ISO_Last_Group_Lock */})
        EXPECT_TRUE(IsIndicatorKeysym(nKeysym)) << std::hex << nKeysym;
    // Keys typed all the time, the locks the key events report themselves,
    // and the neighbours of the ranges above.
    for (std::uint32_t nKeysym : {0x0u, 0x61u /* a */, 0x3042u, 0xff0du /* Return */, 0xffe5u /* Caps_Lock */,
                                  0xff7fu /* Num_Lock */, 0xff20u /* Multi_key */, 0xff31u /* Hangul */,
                                  0xfe03u /* ISO_Level3_Shift (AltGr) */, 0xfe05u /* ISO_Level3_Lock */,
                                  0xfe10u, 0xffe1u /* Shift_L */})
        EXPECT_FALSE(IsIndicatorKeysym(nKeysym)) << std::hex << nKeysym;
}

TEST(LockIndicators, TriggerFollowsTheGroupBitsOnly)
{
    // Typing with the modifiers changing asks nothing; the group is in bits
    // 13 and 14 whatever else the state holds.
    CIndicatorTrigger trigger;
    trigger.Reset(0);
    EXPECT_FALSE(trigger.OnKey(0x61, 0));
    EXPECT_FALSE(trigger.OnKey(0x41, SHIFT_LOCK_MOD2 | 0x8000u));
    EXPECT_TRUE(trigger.OnKey(0x61, SHIFT_LOCK_MOD2 | GROUP2));
    EXPECT_FALSE(trigger.OnKey(0x62, GROUP2 | 0x1000u));
    // A read that could not tell the group: the next key only notes its own.
    trigger.Reset(-1);
    EXPECT_FALSE(trigger.OnKey(0x61, GROUP4));
    EXPECT_TRUE(trigger.OnKey(0x61, GROUP2));
}
