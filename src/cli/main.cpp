#include "cli/cli.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

namespace {

struct CliCommand
{
    const char *pszUsage;
    CliHandler pfnHandler;
    bool bSearch;
};

std::map<std::string, CliCommand> &Commands()
{
    static std::map<std::string, CliCommand> commands;
    return commands;
}

void PrintUsage(std::FILE *out)
{
    std::fprintf(out, "usage: wrenpad-tool COMMAND [ARGS]\n"
                      "       wrenpad-tool --help | --version\n"
                      "commands:\n");
    for (const auto &[name, cmd] : Commands())
        std::fprintf(out, "  %s %s\n", name.c_str(), cmd.pszUsage);
    std::fprintf(out,
                 "exit status:\n"
                 "  grep and regex, which search, exit as grep does: 0 when something was found,\n"
                 "  1 when nothing was, 2 on trouble (wrong arguments, an input that cannot be\n"
                 "  read, a bad expression). Every other command exits with 0 when done, 1 when\n"
                 "  it failed, 2 for wrong arguments. Every error is one line on standard error\n"
                 "  beginning \"wrenpad-tool:\". A path that is missing or cannot be read, a folder\n"
                 "  where a file is wanted (or a file where a folder is), a device or a socket is\n"
                 "  refused alike by every command.\n"
                 "the editor's own options:\n"
                 "  wrenpad --print-pdf OUT.pdf FILE\n"
                 "      prints FILE to the PDF file OUT as the print command would (the saved\n"
                 "      margins, A4 paper, the editor font at half size, the file name above\n"
                 "      and \"Page n/m\" below each page) and exits without opening a window\n"
                 "      or needing a display; status 0, 1 with a message on standard error\n"
                 "      when FILE cannot be read or OUT cannot be written, 2 for wrong arguments\n");
}

} // namespace

CCliRegistrar::CCliRegistrar(const char *pszName, const char *pszUsage, CliHandler pfnHandler, bool bSearch)
{
    Commands()[pszName] = CliCommand{pszUsage, pfnHandler, bSearch};
}

int CliFail(const std::string &strMessage, int nStatus)
{
    std::string strLine = strMessage;
    // Messages shared with the editor's boxes may hold line breaks.
    for (std::size_t i = 0; (i = strLine.find_first_of("\r\n", i)) != std::string::npos;) {
        const std::size_t nEnd = strLine.find_first_not_of("\r\n", i);
        const bool bBlankBefore = i > 0 && strLine[i - 1] == ' ';
        strLine.replace(i, (nEnd == std::string::npos ? strLine.size() : nEnd) - i, bBlankBefore ? "" : " ");
    }
    while (!strLine.empty() && strLine.back() == ' ')
        strLine.pop_back();
    std::fprintf(stderr, "wrenpad-tool: %s\n", strLine.c_str());
    return nStatus;
}

int CliUsage(const char *pszName)
{
    auto it = Commands().find(pszName);
    std::string strUsage = it != Commands().end() ? it->second.pszUsage : "";
    strUsage = strUsage.substr(0, strUsage.find('\n'));
    // A usage of several lines starts with its synopsis; the rest is in --help.
    return CliFail(std::string("usage: wrenpad-tool ") + pszName + " " + strUsage, CLI_USAGE);
}

bool CliReadFile(const std::string &strPath, std::string &strBytes)
{
    std::ifstream in(strPath, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad())
        return false;
    strBytes = std::move(ss).str();
    return true;
}

bool CliReadStandardInput(std::string &strBytes)
{
    char block[1 << 16];
    for (;;) {
        const std::size_t n = std::fread(block, 1, sizeof block, stdin);
        strBytes.append(block, n);
        if (n < sizeof block)
            return !std::ferror(stdin);
    }
}

bool CliWriteOut(const std::string &strBytes)
{
    return std::fwrite(strBytes.data(), 1, strBytes.size(), stdout) == strBytes.size();
}

int main(int argc, char *argv[])
{
    if (argc < 2)
        return CliFail("a command is needed (wrenpad-tool --help lists them)", CLI_USAGE);
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        PrintUsage(stdout);
        return CLI_OK;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("wrenpad-tool %s\n", WRENPAD_VERSION);
        return CLI_OK;
    }
    auto it = Commands().find(argv[1]);
    if (it == Commands().end())
        return CliFail(std::string("unknown command \"") + argv[1] + "\" (wrenpad-tool --help lists the commands)",
                       CLI_USAGE);
    const CliArgs args(argv + 2, argv + argc);
    const int nStatus = it->second.pfnHandler(args);
    // Output that did not arrive is a failure, and trouble for a search.
    if (std::fflush(stdout) != 0 && (nStatus == CLI_OK || (it->second.bSearch && nStatus == CLI_NOT_FOUND)))
        return CliFail(std::string("cannot write output: ") + std::strerror(errno),
                       it->second.bSearch ? CLI_TROUBLE : CLI_FAILED);
    return nStatus;
}
