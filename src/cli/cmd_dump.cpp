// dump: the hexadecimal and character dump the editor shows for a dropped file.
#include "cli/cli.h"
#include "filetools/hexdump.h"

#include <cerrno>
#include <cstring>

namespace {

int Dump(const CliArgs &args)
{
    if (args.size() != 1)
        return CliUsage("dump");
    if (!CliCheckInput(args[0]))
        return CLI_FAILED;
    std::string strDump;
    switch (BuildAsciiDump(args[0], args[0], strDump)) {
    case DUMP_OK:
        break;
    case DUMP_TOO_LARGE:
        return CliFail("cannot dump " + args[0] + ": the file is larger than 256 MB");
    default:
        return CliFail("cannot read " + args[0] + ": " + std::strerror(errno));
    }
    if (!CliWriteOut(strDump))
        return CliFail("cannot write output");
    return 0;
}

const CCliRegistrar reg("dump", "FILE\n"
                                "      writes the hexadecimal and character dump of FILE (at most 256 MB) with\n"
                                "      FILE in its header as given",
                        Dump);

} // namespace
