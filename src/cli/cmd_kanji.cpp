// detect, convert and nkf: the kanji code converters from the command line.
#include "cli/cli.h"
#include "text/kanji.h"
#include "text/nkf.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

int Detect(const CliArgs &args)
{
    if (args.size() != 1)
        return CliUsage("detect");
    std::string bytes;
    if (!CliCheckInput(args[0]))
        return CLI_FAILED;
    if (!CliReadFile(args[0], bytes))
        return CliFail("cannot read " + args[0] + ": " + std::strerror(errno));
    switch (DetectKanjiCode(bytes)) {
    case KANJI_SJIS:
        std::printf("SJIS\n");
        break;
    case KANJI_EUC:
        std::printf("EUC\n");
        break;
    case KANJI_JIS:
        std::printf("JIS\n");
        break;
    default:
        std::printf("UNKNOWN\n");
        break;
    }
    return 0;
}

int Convert(const CliArgs &args)
{
    if (args.size() != 3 || args[0] != "--to")
        return CliUsage("convert");
    int nOutCode;
    if (args[1] == "sjis")
        nOutCode = OUTCODE_SJIS;
    else if (args[1] == "euc")
        nOutCode = OUTCODE_EUC;
    else if (args[1] == "jis")
        nOutCode = OUTCODE_JIS;
    else
        return CliUsage("convert");
    std::string bytes;
    if (!CliCheckInput(args[2]))
        return CLI_FAILED;
    if (!CliReadFile(args[2], bytes))
        return CliFail("cannot read " + args[2] + ": " + std::strerror(errno));
    if (!CliWriteOut(ConvertKanjiCode(bytes, nOutCode)))
        return CliFail("cannot write output");
    return 0;
}

int Nkf(const CliArgs &args)
{
    if (args.size() != 2)
        return CliUsage("nkf");
    std::string bytes;
    if (!CliCheckInput(args[1]))
        return CLI_FAILED;
    if (!CliReadFile(args[1], bytes))
        return CliFail("cannot read " + args[1] + ": " + std::strerror(errno));
    CNkfLibrary &nkf = NkfLibrary();
    if (!nkf.IsLoaded())
        return CliFail("the kanji converter is not available (glibc iconv lacks CP932 or EUC-JP-MS)");
    nkf.SetNkfOption(args[0]);
    std::string out;
    nkf.NkfConvert(bytes, out);
    if (!CliWriteOut(out))
        return CliFail("cannot write output");
    return 0;
}

const CCliRegistrar regDetect("detect", "FILE", Detect);
const CCliRegistrar regConvert("convert", "--to sjis|euc|jis FILE", Convert);
const CCliRegistrar regNkf("nkf", "OPTION FILE", Nkf);

} // namespace
