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
                 "the editor's own options:\n"
                 "  wrenpad --print-pdf OUT.pdf FILE\n"
                 "      prints FILE to the PDF file OUT as the print command would (the saved\n"
                 "      margins, A4 paper, the editor font at half size, the file name above\n"
                 "      and \"Page n/m\" below each page) and exits without opening a window\n"
                 "      or needing a display; status 0, 1 with a message on standard error\n"
                 "      when FILE cannot be read or OUT cannot be written, 2 for wrong arguments\n");
}

} // namespace

CCliRegistrar::CCliRegistrar(const char *pszName, const char *pszUsage, CliHandler pfnHandler)
{
    Commands()[pszName] = CliCommand{pszUsage, pfnHandler};
}

int CliFail(const std::string &strMessage, int nStatus)
{
    std::fprintf(stderr, "wrenpad-tool: %s\n", strMessage.c_str());
    return nStatus;
}

int CliUsage(const char *pszName)
{
    auto it = Commands().find(pszName);
    std::fprintf(stderr, "usage: wrenpad-tool %s %s\n", pszName,
                 it != Commands().end() ? it->second.pszUsage : "");
    return 2;
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
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        PrintUsage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("wrenpad-tool %s\n", WRENPAD_VERSION);
        return 0;
    }
    auto it = Commands().find(argv[1]);
    if (it == Commands().end()) {
        std::fprintf(stderr, "wrenpad-tool: unknown command \"%s\"\n", argv[1]);
        PrintUsage(stderr);
        return 2;
    }
    const CliArgs args(argv + 2, argv + argc);
    const int nStatus = it->second.pfnHandler(args);
    if (std::fflush(stdout) != 0 && nStatus == 0)
        return CliFail(std::string("cannot write output: ") + std::strerror(errno));
    return nStatus;
}
