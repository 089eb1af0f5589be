// roundtrip and info: the buffer's loading and saving from the command line,
// in each file's own character code as the editor reads and writes it.
#include "cli/cli.h"
#include "text/codedfile.h"
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
    if (!CliCheckInput(args[0]))
        return CLI_FAILED;
    CCrystalTextBuffer buffer;
    CFileCodeState state;
    if (!LoadCodedFile(buffer, args[0], state))
        return CliFail("cannot load " + args[0] + ": " + std::strerror(errno));
    // As in the editor: a file that would not come back the same is not written.
    if (!state.IsExact())
        return CliFail("cannot save " + args[0] + " without loss: " + DescribeCodeProblem(state));
    if (!SaveCodedFile(buffer, args[1], state.eCode, state.forms, nullptr, -1, true, &state.extra))
        return CliFail("cannot save " + args[1] + ": " + std::strerror(errno));
    return 0;
}

int Info(const CliArgs &args)
{
    if (args.size() != 1)
        return CliUsage("info");
    if (!CliCheckInput(args[0]))
        return CLI_FAILED;
    CCrystalTextBuffer buffer;
    CFileCodeState state;
    if (!LoadCodedFile(buffer, args[0], state))
        return CliFail("cannot load " + args[0] + ": " + std::strerror(errno));
    std::printf("lines=%d mode=%s readonly=%d code=%s extra=%zu\n", buffer.GetLineCount(),
                ModeName(buffer.GetLineEndMode()), buffer.IsReadOnly() ? 1 : 0, TextCodeTag(state.eCode),
                state.extra.Size());
    // Why the file opens read-only, for the one reading along.
    if (!state.IsExact())
        std::fprintf(stderr, "wrenpad-tool: %s: %s\n", args[0].c_str(), DescribeCodeProblem(state).c_str());
    return 0;
}

const CCliRegistrar regRoundTrip("roundtrip",
                                  "IN OUT   read IN in its own code and write it to OUT in the same code;\n"
                                  "         fails, writing nothing, when IN would not come back unchanged",
                                  RoundTrip);
const CCliRegistrar regInfo("info",
                             "FILE   print lines=N mode=DOS|UNIX|MAC readonly=0|1 code=SJIS|UTF8|UTF8BOM|EUC|JIS\n"
                             "       extra=N (the characters Shift-JIS lacks that the file holds, at most 1880)",
                             Info);

} // namespace
