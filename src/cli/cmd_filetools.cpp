// split and archive: the file tools from the command line.
#include "cli/cli.h"
#include "tools/archive.h"
#include "tools/filesplit.h"

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
    int nParts = 0;
    const int nResult = SplitFile(strSource, strDest, SPLIT_PART_SIZES[nSizeIndex], nParts);
    std::fprintf(stderr, "%s\n", SplitResultMessage(nResult, strSource, nParts).c_str());
    return nResult;
}

int Finish(int nResult, const std::string &strOutput)
{
    if (!CliWriteOut(strOutput))
        return CliFail("cannot write output");
    return nResult == ARC_OK ? 0 : 1;
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
        return Finish(ArchivePack(request, strOutput), strOutput);
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
        return Finish(ArchiveUnpack(request, strOutput), strOutput);
    }
    if (strVerb == "list") {
        if (args.size() != 2)
            return CliUsage("archive");
        return Finish(ArchiveList(args[1], strOutput), strOutput);
    }
    return CliUsage("archive");
}

const CCliRegistrar splitCommand(
    "split", "[--size 0|1|2] FILE [DEST]\n"
             "      Cuts FILE into parts of 720000, 1230000 or 1440000 bytes (size 0, 1, 2;\n"
             "      default 2) named NAME.001, NAME.002 ... in DEST (default: beside FILE,\n"
             "      created when missing), with NAME.bat and NAME.sh that join them again.\n"
             "      The message goes to standard error; the exit status is the result:\n"
             "      0 split, 1 FILE cannot be opened, 2 FILE fits in one part,\n"
             "      3 a part cannot be written, 4 DEST cannot be created.",
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
               "      The report goes to standard output; the exit status is 0 when\n"
               "      everything was done, 1 when anything failed or was refused.",
    Archive);

} // namespace
