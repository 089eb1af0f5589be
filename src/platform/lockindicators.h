// When the keyboard's lock indicators are worth reading again. The X server
// keeps them (Scroll Lock, the Kana lock of Japanese keyboards) and asking
// costs a round trip, so the editor asks at start, when it gets the focus
// back, and after the keys that can switch them, never for each key typed.
#pragma once

#include <cstdint>

// The indicators the status bar shows besides Caps Lock and Num Lock.
struct CLockIndicators
{
    bool bScrollLock = false;
    bool bKanaLock = false;
    // The keyboard group the server had when they were read; -1 when unknown.
    int nGroup = -1;

    bool SameLocks(const CLockIndicators &other) const
    {
        return bScrollLock == other.bScrollLock && bKanaLock == other.bKanaLock;
    }
};

// Whether a key with this X keysym can switch an indicator: Scroll Lock, the
// keys of Japanese keyboards (Kana lock and shift, Eisu, Hiragana/Katakana and
// the like), and the keys that change the keyboard group, which the Kana
// indicator follows.
bool IsIndicatorKeysym(std::uint32_t nKeysym);

// The keyboard group (0 to 3) in the state of a key event, bits 13 and 14.
int KeyStateGroup(std::uint32_t nState);

// Looks at the key events one by one and says after which ones to read.
class CIndicatorTrigger
{
public:
    // True when the indicators may differ from what was read last: the key
    // switches one, or the event's group is not the one seen before (another
    // program or an input method changed it, or a latched group ran out).
    bool OnKey(std::uint32_t nKeysym, std::uint32_t nState);
    // After each read, with the group the server reported then. Unknown
    // (-1): the next key only notes its group.
    void Reset(int nGroup) { m_nGroup = nGroup; }

private:
    int m_nGroup = -1;
};
