// Compiling, matching and substituting arbitrary bytes.
//
// Input: one byte of options, the pattern, NUL, the replacement, NUL, the
// text. Besides memory errors it checks that every match lies in the text,
// that the fast start-position scans find what the plain walk finds, and that
// a failed substitution leaves no output.
#include "search/regex.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool bOk)
{
    if (!bOk)
        std::abort();
}

bool SameRegisters(const RegexRegisters &a, const RegexRegisters &b)
{
    for (int n = 0; n < REGEX_REGISTERS; ++n) {
        if (a.nStart[n] != b.nStart[n] || a.nEnd[n] != b.nEnd[n])
            return false;
    }
    return true;
}

void CheckInText(const RegexRegisters &regs, int nStart, int nLength)
{
    Check(regs.nStart[0] >= nStart && regs.nStart[0] <= regs.nEnd[0] && regs.nEnd[0] <= nLength);
    for (int n = 1; n < REGEX_REGISTERS; ++n) {
        Check((regs.nStart[n] < 0) == (regs.nEnd[n] < 0));
        if (regs.nStart[n] >= 0)
            Check(regs.nStart[n] <= regs.nEnd[n] && regs.nEnd[n] <= nLength);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *pData, std::size_t nSize)
{
    if (nSize < 1)
        return 0;
    const unsigned nOptions = pData[0];
    std::string_view rest(reinterpret_cast<const char *>(pData + 1), nSize - 1);
    const std::size_t nPatternEnd = rest.find('\0');
    const std::string strPattern(rest.substr(0, nPatternEnd));
    rest = nPatternEnd == std::string_view::npos ? std::string_view() : rest.substr(nPatternEnd + 1);
    const std::size_t nReplacementEnd = rest.find('\0');
    const std::string strReplacement(rest.substr(0, nReplacementEnd));
    const std::string_view text = nReplacementEnd == std::string_view::npos ? std::string_view() : rest.substr(nReplacementEnd + 1);
    const int nLength = static_cast<int>(text.size());

    const CRegexPtr pRegex(RegexCompile(strPattern.c_str()));
    if (!pRegex)
        return 0;

    // Pathological patterns are cut short the way a cancelled search is.
    CRegexContext fast;
    CRegexContext plain;
    fast.SetStepLimit(20000);
    plain.SetStepLimit(20000);
    plain.SetPlainMatching(true);
    for (const bool bCase : {(nOptions & 1) != 0, (nOptions & 1) == 0}) {
        // Every match of the text in turn, as replace-all walks it.
        int nStart = static_cast<int>((nOptions >> 1) % (text.size() + 1));
        for (int nRound = 0; nRound < 8 && nStart <= nLength; ++nRound) {
            RegexRegisters a;
            RegexRegisters b;
            const bool bFound = RegexExecute(pRegex.get(), text.data(), nLength, nStart, a, bCase, &fast);
            const bool bPlainFound = RegexExecute(pRegex.get(), text.data(), nLength, nStart, b, bCase, &plain);
            if (!fast.WasAborted() && !plain.WasAborted())
                Check(bFound == bPlainFound && SameRegisters(a, b));
            if (!bFound)
                break;
            CheckInText(a, nStart, nLength);
            std::string strOut;
            const int nResult = RegexSubstitute(strReplacement.c_str(), text, a, strOut);
            Check(nResult == 0 || (nResult == -1 && strOut.empty()));
            nStart = a.nEnd[0] > a.nStart[0] ? a.nEnd[0] : a.nEnd[0] + 1;
        }
    }
    return 0;
}
