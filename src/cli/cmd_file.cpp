// roundtrip and info: the buffer's loading and saving from the command line.
#include "cli/cli.h"
#include "text/textbuffer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

const char *ModeName(int nMode)
{
    switch (nMode) {
    case LINEEND_LF:
        return "UNIX";
    case LINEEND_CR:
        return "MAC";
    default:
        return "DOS";
    }
}

int RoundTrip(const CliArgs &args)
{
    if (args.size() != 2)
        return CliUsage("roundtrip");
    CCrystalTextBuffer buffer;
    if (!buffer.LoadFromFile(args[0], -1))
        return CliFail("cannot load " + args[0] + ": " + std::strerror(errno));
    if (!buffer.SaveToFile(args[1], -1))
        return CliFail("cannot save " + args[1] + ": " + std::strerror(errno));
    return 0;
}

int Info(const CliArgs &args)
{
    if (args.size() != 1)
        return CliUsage("info");
    CCrystalTextBuffer buffer;
    if (!buffer.LoadFromFile(args[0], -1))
        return CliFail("cannot load " + args[0] + ": " + std::strerror(errno));
    std::printf("lines=%d mode=%s readonly=%d\n", buffer.GetLineCount(),
                ModeName(buffer.GetLineEndMode()), buffer.IsReadOnly() ? 1 : 0);
    return 0;
}

const CCliRegistrar regRoundTrip("roundtrip", "IN OUT", RoundTrip);
const CCliRegistrar regInfo("info", "FILE", Info);

} // namespace
