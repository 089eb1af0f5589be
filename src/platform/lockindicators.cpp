#include "platform/lockindicators.h"

namespace {

constexpr std::uint32_t XK_SCROLL_LOCK = 0xff14;
constexpr std::uint32_t XK_MODE_SWITCH = 0xff7e;  // also ISO_Group_Shift
// Kanji, Muhenkan, Henkan ... Kana_Lock, Kana_Shift, Eisu_Shift, Eisu_toggle.
constexpr std::uint32_t XK_JAPANESE_FIRST = 0xff21;
constexpr std::uint32_t XK_JAPANESE_LAST = 0xff30;
// ISO_Group_Latch, ISO_Group_Lock, ISO_Next_Group and its kin up to
// ISO_Last_Group_Lock. The level shifts before them (AltGr among them, typed
// all the time on many keyboards) leave the group alone.
constexpr std::uint32_t XK_ISO_GROUP_LATCH = 0xfe06;
constexpr std::uint32_t XK_ISO_LAST_GROUP_LOCK = 0xfe0f;

} // namespace

bool IsIndicatorKeysym(std::uint32_t nKeysym)
{
    return nKeysym == XK_SCROLL_LOCK || nKeysym == XK_MODE_SWITCH ||
           (nKeysym >= XK_JAPANESE_FIRST && nKeysym <= XK_JAPANESE_LAST) ||
           (nKeysym >= XK_ISO_GROUP_LATCH && nKeysym <= XK_ISO_LAST_GROUP_LOCK);
}

int KeyStateGroup(std::uint32_t nState)
{
    return static_cast<int>((nState >> 13) & 3);
}

bool CIndicatorTrigger::OnKey(std::uint32_t nKeysym, std::uint32_t nState)
{
    const int nGroup = KeyStateGroup(nState);
    const bool bGroupChanged = m_nGroup >= 0 && nGroup != m_nGroup;
    m_nGroup = nGroup;
    return bGroupChanged || IsIndicatorKeysym(nKeysym);
}
