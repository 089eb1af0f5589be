// regex and subst: the regular-expression engine from the command line.
//
//   regex [--icase] PATTERN FILE   one line per matching line of FILE (read as
//                                  the folder search reads it): the line number,
//                                  then " n=START,END" for each register set;
//                                  a search: status 0 when a line matched, 1
//                                  when none did, 2 on trouble
//   subst PATTERN REPLACEMENT FILE FILE with the first match of each line replaced
#include "cli/cli.h"
#include "search/linereader.h"
#include "search/regex.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

namespace {

int BadPattern(const char *pszCommand, const std::string &strPattern)
{
    return CliFail(std::string(pszCommand) + ": the pattern does not compile: " + strPattern, CLI_USAGE);
}

int Regex(const CliArgs &args)
{
    bool bCaseSensitive = true;
    std::size_t i = 0;
    if (args.size() == 3 && args[0] == "--icase") {
        bCaseSensitive = false;
        i = 1;
    }
    if (args.size() != i + 2)
        return CliUsage("regex");
    const std::string &strFile = args[i + 1];
    const CRegexPtr pPattern(RegexCompile(args[i].c_str()));
    if (!pPattern)
        return BadPattern("regex", args[i]);
    if (!CliCheckInput(strFile))
        return CLI_TROUBLE;
    CSearchLineReader reader;
    if (!reader.Open(strFile))
        return CliFail("cannot read " + strFile + ": " + std::strerror(errno), CLI_TROUBLE);
    CRegexContext ctx;
    RegexRegisters regs;
    std::string_view line;
    bool bFound = false;
    while (reader.NextLine(line)) {
        if (!RegexExecute(pPattern.get(), line.data(), static_cast<int>(line.size()), 0, regs, bCaseSensitive, &ctx))
            continue;
        bFound = true;
        std::printf("%d", reader.GetLineNumber());
        for (int n = 0; n < REGEX_REGISTERS; ++n) {
            if (regs.IsSet(n))
                std::printf(" %d=%d,%d", n, regs.nStart[n], regs.nEnd[n]);
        }
        std::putchar('\n');
    }
    if (reader.HasError())
        return CliFail("cannot read " + strFile + ": " + std::strerror(errno), CLI_TROUBLE);
    return bFound ? CLI_OK : CLI_NOT_FOUND;
}

int Subst(const CliArgs &args)
{
    if (args.size() != 3)
        return CliUsage("subst");
    const CRegexPtr pPattern(RegexCompile(args[0].c_str()));
    if (!pPattern)
        return BadPattern("subst", args[0]);
    if (!CliCheckInput(args[2]))
        return CLI_FAILED;
    std::string strBytes;
    if (!CliReadFile(args[2], strBytes))
        return CliFail("cannot read " + args[2] + ": " + std::strerror(errno));

    // Each line is matched without its line end, which is written back as it was.
    CRegexContext ctx;
    RegexRegisters regs;
    std::string strOut;
    std::string strReplacement;
    std::size_t nPos = 0;
    int nLine = 0;
    while (nPos < strBytes.size()) {
        ++nLine;
        std::size_t nEnd = strBytes.find('\n', nPos);
        nEnd = nEnd == std::string::npos ? strBytes.size() : nEnd + 1;
        std::size_t nText = nEnd;
        while (nText > nPos && (strBytes[nText - 1] == '\n' || strBytes[nText - 1] == '\r'))
            --nText;
        const std::string_view line(strBytes.data() + nPos, nText - nPos);
        if (line.size() > static_cast<std::size_t>(INT_MAX))
            return CliFail("line too long in " + args[2]);
        if (RegexExecute(pPattern.get(), line.data(), static_cast<int>(line.size()), 0, regs, true, &ctx)) {
            if (RegexSubstitute(args[1].c_str(), line, regs, strReplacement) != 0)
                return CliFail("subst: " + args[2] + " line " + std::to_string(nLine)
                               + ": the replacement names a group that took no part in the match, or ends in \\");
            strOut.append(line.substr(0, static_cast<std::size_t>(regs.nStart[0])));
            strOut += strReplacement;
            strOut.append(line.substr(static_cast<std::size_t>(regs.nEnd[0])));
        } else {
            strOut.append(line);
        }
        strOut.append(strBytes, nText, nEnd - nText);
        nPos = nEnd;
    }
    if (!CliWriteOut(strOut))
        return CliFail(std::string("cannot write output: ") + std::strerror(errno));
    return 0;
}

const CCliRegistrar regRegex("regex", "[--icase] PATTERN FILE", Regex, true);
const CCliRegistrar regSubst("subst", "PATTERN REPLACEMENT FILE", Subst);

} // namespace
