// Ctrl+Shift with a digit from US and Japanese keyboards: the symbol each
// layout delivers reaches the command the table gives the digit.
#include "res/commandtable.h"
#include "res/shifteddigits.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr unsigned TABLES = CMD_KEYS_VIEW | CMD_KEYS_FRAME;

// What Shift gives on the digit keys 0 to 9; 0 where the layout gives nothing.
constexpr char32_t US_SYMBOLS[] = {U')', U'!', U'@', U'#', U'$', U'%', U'^', U'&', U'*', U'('};
constexpr char32_t JP_SYMBOLS[] = {0, U'!', U'"', U'#', U'$', U'%', U'&', U'\'', U'(', U')'};

// The key code X11 and Wayland give the digit key.
unsigned KeyCodeOf(int nDigit)
{
    return nDigit == 0 ? 19u : 9u + static_cast<unsigned>(nDigit);
}

} // namespace

TEST(ShiftedDigits, EveryCtrlShiftDigitIsReachedFromBothLayoutsAndNoKeyIsAShiftedDigitsSymbol)
{
    int nChecked = 0;
    ForEachCommandKey(TABLES, [&](std::string_view key, int nID) {
        if (key.size() != 12 || !key.starts_with("Ctrl+Shift+"))
            return;
        // A key that is the symbol of a shifted digit would be taken for the
        // digit's and never run its own command.
        EXPECT_EQ(DigitUnderShiftedSymbol(static_cast<unsigned char>(key[11]), 0), 0) << key;
        if (key[11] < '0' || key[11] > '9')
            return;
        const int nDigit = key[11] - '0';
        for (const char32_t chSymbol : {US_SYMBOLS[nDigit], JP_SYMBOLS[nDigit]}) {
            if (chSymbol == 0)
                continue;
            // With the key's code, as X11 delivers it, always.
            EXPECT_EQ(CommandForShiftedDigit(DigitUnderShiftedSymbol(chSymbol, KeyCodeOf(nDigit)), TABLES), nID)
                << key << " typed as " << static_cast<char>(chSymbol);
            // From the symbol alone, unless the two layouts disagree on it;
            // then nothing runs rather than another digit's command.
            const char chBare = DigitUnderShiftedSymbol(chSymbol, 0);
            EXPECT_TRUE(chBare == key[11] || chBare == 0) << static_cast<char>(chSymbol) << " gives " << chBare;
        }
        ++nChecked;
    });
    EXPECT_EQ(nChecked, 7);

    // Symbols alone: shared ones and those of one layout only are settled,
    // "&" (7 here, 6 there) is not.
    // Letters and digits are never symbols of a digit, whatever their code;
    // nor is a symbol of another key without one.
    const struct { char32_t chSymbol; unsigned nKeyCode; char chDigit; } cases[] = {
        {U'$', 0, '4'}, {U'@', 0, '2'}, {U'"', 0, '2'}, {U'\'', 0, '7'}, {U'^', 0, '6'}, {U'&', 0, 0},
        {U'&', KeyCodeOf(6), '6'}, {U'&', KeyCodeOf(7), '7'}, {U'Q', KeyCodeOf(7), 0}, {U'4', KeyCodeOf(4), 0},
        {U'+', 0, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DigitUnderShiftedSymbol(c.chSymbol, c.nKeyCode), c.chDigit)
            << static_cast<char>(c.chSymbol) << " code " << c.nKeyCode;
    EXPECT_EQ(CommandForShiftedDigit(0, TABLES), 0);
}
