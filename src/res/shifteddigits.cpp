#include "res/shifteddigits.h"

#include "res/commandtable.h"

#include <string>
#include <string_view>

namespace {

// What Shift gives on the digit keys 1 to 9 and 0; a blank where the layout
// gives nothing that a shortcut could use.
constexpr std::u32string_view US_SHIFTED = U"!@#$%^&*()";
constexpr std::u32string_view JP_SHIFTED = U"!\"#$%&'() ";

constexpr char DigitAt(std::size_t nIndex)
{
    return nIndex == 9 ? '0' : static_cast<char>('1' + nIndex);
}

} // namespace

char DigitUnderShiftedSymbol(char32_t chSymbol, unsigned nKeyCode)
{
    const bool bAlnum = (chSymbol >= U'0' && chSymbol <= U'9') || (chSymbol >= U'A' && chSymbol <= U'Z')
                        || (chSymbol >= U'a' && chSymbol <= U'z');
    if (bAlnum || chSymbol == U' ')
        return 0;
    if (nKeyCode >= 10 && nKeyCode <= 19)
        return DigitAt(nKeyCode - 10);
    const std::size_t nUS = US_SHIFTED.find(chSymbol);
    const std::size_t nJP = JP_SHIFTED.find(chSymbol);
    if (nUS != std::u32string_view::npos && nJP != std::u32string_view::npos && nUS != nJP)
        return 0;
    if (nUS != std::u32string_view::npos)
        return DigitAt(nUS);
    if (nJP != std::u32string_view::npos)
        return DigitAt(nJP);
    return 0;
}

int CommandForShiftedDigit(char chDigit, unsigned nScope)
{
    if (chDigit < '0' || chDigit > '9')
        return 0;
    const std::string strKey = std::string("Ctrl+Shift+") + chDigit;
    int nFound = 0;
    ForEachCommandKey(nScope, [&](std::string_view key, int nID) {
        if (nFound == 0 && key == strKey)
            nFound = nID;
    });
    return nFound;
}
