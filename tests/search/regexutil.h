// Matching in one call, with the result written the way wrenpad-tool regex
// writes it ("0=1,3 2=1,2"), "none" or "error", so expectations read as tables.
#pragma once

#include "search/regex.h"

#include <string>
#include <string_view>

inline std::string FormatRegisters(const RegexRegisters &regs)
{
    std::string s;
    for (int n = 0; n < REGEX_REGISTERS; ++n) {
        if (!regs.IsSet(n))
            continue;
        if (!s.empty())
            s += ' ';
        s += std::to_string(n) + "=" + std::to_string(regs.nStart[n]) + "," + std::to_string(regs.nEnd[n]);
    }
    return s;
}

inline std::string Match(const char *pszPattern, std::string_view text, bool bCase = true, int nStart = 0,
                         CRegexContext *pContext = nullptr)
{
    const CRegexPtr p(RegexCompile(pszPattern));
    if (!p)
        return "error";
    RegexRegisters regs;
    if (!RegexExecute(p.get(), text.data(), static_cast<int>(text.size()), nStart, regs, bCase, pContext))
        return "none";
    return FormatRegisters(regs);
}
