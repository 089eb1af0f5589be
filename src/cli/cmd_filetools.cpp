// split and archive: the file tools from the command line.
#include "archive/archive.h"
#include "cli/cli.h"
#include "filetools/filesplit.h"

#include <cstdio>

namespace {

int Split(const CliArgs &args)
{
    std::size_t i = 0;
    int nSizeIndex = SPLIT_SIZE_COUNT - 1;
    if (i < args.size() && args[i] == "--size") {
        if (i + 1 >= args.size() || args[i + 1].size() != 1 || args[i + 1][0] < '0' ||
            args[i + 1][0] >= '0' + SPLIT_SIZE_COUNT)
            return CliUsage("split");
        nSizeIndex = args[i + 1][0] - '0';
        i += 2;
    }
    if (args.size() - i < 1 || args.size() - i > 2)
        return CliUsage("split");
    const std::string strSource = args[i];
    const std::string strDest = args.size() - i == 2 ? args[i + 1] : std::string();
    if (!CliCheckInput(strSource))
        return CLI_FAILED;
    int nParts = 0;
    const int nResult = SplitFile(strSource, strDest, SPLIT_PART_SIZES[nSizeIndex], nParts);
    if (nResult != SPLIT_OK)
        return CliFail(SplitResultMessage(nResult, strSource, nParts));
    std::fprintf(stderr, "%s\n", SplitResultMessage(nResult, strSource, nParts).c_str());
    return CLI_OK;
}

int Finish(const char *pszVerb, int nResult, const std::string &strOutput)
{
    if (!CliWriteOut(strOutput))
        return CliFail("cannot write output");
    switch (nResult) {
    case ARC_OK:
        return CLI_OK;
    case ARC_INCOMPLETE:
        return CliFail(std::string("archive ") + pszVerb + ": some entries were refused, damaged or kept back; "
                                                           "the report says which");
    default:
        return CliFail(std::string("archive ") + pszVerb + ": failed; the report says why");
    }
}

int Archive(const CliArgs &args)
{
    if (args.empty())
        return CliUsage("archive");
    const std::string &strVerb = args[0];
    std::string strOutput;
    if (strVerb == "pack") {
        if (args.size() < 3)
            return CliUsage("archive");
        CPackRequest request;
        request.strArchive = args[1];
        request.strBase = args[2];
        request.aFiles.assign(args.begin() + 3, args.end());
        if (!CliCheckInput(request.strBase, ECliInput::Folder))
            return CLI_FAILED;
        return Finish("pack", ArchivePack(request, strOutput), strOutput);
    }
    if (strVerb == "unpack") {
        CUnpackRequest request;
        std::size_t i = 1;
        if (i < args.size() && args[i] == "--overwrite") {
            request.bOverwrite = true;
            ++i;
        }
        if (args.size() - i != 2)
            return CliUsage("archive");
        request.strArchive = args[i];
        request.strDest = args[i + 1];
        if (!CliCheckInput(request.strArchive))
            return CLI_FAILED;
        return Finish("unpack", ArchiveUnpack(request, strOutput), strOutput);
    }
    if (strVerb == "list") {
        if (args.size() != 2)
            return CliUsage("archive");
        if (!CliCheckInput(args[1]))
            return CLI_FAILED;
        return Finish("list", ArchiveList(args[1], strOutput), strOutput);
    }
    return CliUsage("archive");
}

const CCliRegistrar splitCommand(
    "split", "[--size 0|1|2] FILE [DEST]\n"
             "      Cuts FILE into parts of 720000, 1230000 or 1440000 bytes (size 0, 1, 2;\n"
             "      default 2) named NAME.001, NAME.002 ... in DEST (default: beside FILE,\n"
             "      created when missing), with NAME.bat and NAME.sh that join them again.\n"
             "      The report goes to standard error. A FILE that fits in one part is not\n"
             "      split: that too is a failure.",
    Split);

const CCliRegistrar archiveCommand(
    "archive", "pack ARCHIVE FOLDER | pack ARCHIVE BASE FILE... | unpack [--overwrite] ARCHIVE DEST | list ARCHIVE\n"
               "      pack: everything in FOLDER, or the FILEs (and folders) named relative\n"
               "      to BASE, into ARCHIVE: LZH (-lh5-, Shift-JIS names), or ZIP when its\n"
               "      name ends in .zip. An existing ARCHIVE is replaced when complete.\n"
               "      unpack: an LZH (-lh0- to -lh7-) or ZIP archive\n"
               "      into DEST (created when missing);\n"
               "      entries that would land outside DEST are refused, existing files\n"
               "      are kept unless --overwrite is given.\n"
               "      list: the entries with size and time.\n"
               "      The report goes to standard output; anything that failed or was\n"
               "      refused makes the command fail.",
    Archive);

} // namespace
