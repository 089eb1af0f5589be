#include "archive/archivecmd.h"

namespace {

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

int BadCommand(std::string &strOutput, const char *pszWhat)
{
    strOutput = std::string("エラー: コマンドラインが正しくありません (") + pszWhat + ")\n";
    return ARC_ERROR;
}

// Splits "[-switches] ARCHIVE FOLDER [REST...]"; false when the archive or
// the folder is missing. "--overwrite" (or "-o") replaces existing files;
// "--keep" says the user chose to keep them.
bool TakeOperands(const std::vector<std::string> &aArgs, const std::vector<bool> &aQuoted, std::size_t nFirst,
                  bool &bOverwrite, std::vector<std::string> &aOperands, bool *pbKeepChosen = nullptr)
{
    std::size_t i = nFirst;
    for (; i < aArgs.size() && !aQuoted[i] && aArgs[i].size() > 1 && aArgs[i][0] == '-'; ++i) {
        if (aArgs[i] == "--overwrite" || aArgs[i] == "-o")
            bOverwrite = true;
        else if (aArgs[i] == "--keep" && pbKeepChosen)
            *pbKeepChosen = true;
    }
    aOperands.assign(aArgs.begin() + static_cast<std::ptrdiff_t>(i), aArgs.end());
    return aOperands.size() >= 2;
}

} // namespace

std::string ArchiveQuoted(const std::string &strArg)
{
    std::string s;
    for (char ch : strArg) {
        if (ch == '"' || ch == '\\')
            s += '\\';
        s += ch;
    }
    return s;
}

std::string ArchiveListArg(const std::string &strName)
{
    if (!strName.empty() && strName.find_first_of(" \t\"\\") == std::string::npos)
        return strName;
    std::string s(1, '"');
    s += ArchiveQuoted(strName);
    s += '"';
    return s;
}

bool SplitArchiveCommandLine(const std::string &strCommandLine, std::vector<std::string> &aArgs,
                             std::vector<bool> *pQuoted)
{
    aArgs.clear();
    if (pQuoted)
        pQuoted->clear();
    std::size_t i = 0;
    const std::size_t n = strCommandLine.size();
    while (i < n) {
        while (i < n && IsBlank(strCommandLine[i]))
            ++i;
        if (i >= n)
            break;
        std::string strArg;
        const bool bQuoted = strCommandLine[i] == '"';
        if (pQuoted)
            pQuoted->push_back(bQuoted);
        if (bQuoted) {
            ++i;
            bool bClosed = false;
            while (i < n) {
                const char ch = strCommandLine[i++];
                if (ch == '"') {
                    bClosed = true;
                    break;
                }
                if (ch == '\\' && i < n && (strCommandLine[i] == '"' || strCommandLine[i] == '\\'))
                    strArg += strCommandLine[i++];
                else
                    strArg += ch;
            }
            if (!bClosed)
                return false;
        } else {
            while (i < n && !IsBlank(strCommandLine[i]))
                strArg += strCommandLine[i++];
        }
        aArgs.push_back(std::move(strArg));
    }
    return true;
}

int Unlha(const std::string &strCommandLine, std::string &strOutput, const CArchiveProgress *pProgress)
{
    std::vector<std::string> aArgs;
    std::vector<bool> aQuoted;
    if (!SplitArchiveCommandLine(strCommandLine, aArgs, &aQuoted) || aArgs.empty())
        return BadCommand(strOutput, "引数");
    const std::string &strCommand = aArgs[0];
    if (strCommand == "v" || strCommand == "l") {
        if (aArgs.size() < 2)
            return BadCommand(strOutput, "書庫");
        return ArchiveList(aArgs.back(), strOutput, pProgress);
    }
    bool bOverwrite = false;
    bool bKeepChosen = false;
    std::vector<std::string> aOperands;
    if (!TakeOperands(aArgs, aQuoted, 1, bOverwrite, aOperands, &bKeepChosen))
        return BadCommand(strOutput, "書庫とフォルダー");
    if (strCommand == "u" || strCommand == "a") {
        CPackRequest request;
        request.strArchive = aOperands[0];
        request.strBase = aOperands[1];
        request.aFiles.assign(aOperands.begin() + 2, aOperands.end());
        return ArchivePack(request, strOutput, pProgress);
    }
    if (strCommand == "e" || strCommand == "x") {
        for (std::size_t i = 2; i < aOperands.size(); ++i)
            if (aOperands[i] != "*.*" && aOperands[i] != "*")
                return BadCommand(strOutput, "ファイルの指定");
        CUnpackRequest request;
        request.strArchive = aOperands[0];
        request.strDest = aOperands[1];
        request.bOverwrite = bOverwrite;
        request.bKeepChosen = bKeepChosen;
        return ArchiveUnpack(request, strOutput, pProgress);
    }
    return BadCommand(strOutput, strCommand.c_str());
}

int UnZip(const std::string &strCommandLine, std::string &strOutput, const CArchiveProgress *pProgress)
{
    std::vector<std::string> aArgs;
    std::vector<bool> aQuoted;
    if (!SplitArchiveCommandLine(strCommandLine, aArgs, &aQuoted) || aArgs.empty())
        return BadCommand(strOutput, "引数");
    const std::string &strCommand = aArgs[0];
    if (strCommand == "-v" || strCommand == "-l") {
        if (aArgs.size() < 2)
            return BadCommand(strOutput, "書庫");
        return ArchiveList(aArgs.back(), strOutput, pProgress);
    }
    if (strCommand != "-x")
        return BadCommand(strOutput, strCommand.c_str());
    bool bOverwrite = false;
    bool bKeepChosen = false;
    std::vector<std::string> aOperands;
    if (!TakeOperands(aArgs, aQuoted, 1, bOverwrite, aOperands, &bKeepChosen) || aOperands.size() > 2)
        return BadCommand(strOutput, "書庫とフォルダー");
    CUnpackRequest request;
    request.strArchive = aOperands[0];
    request.strDest = aOperands[1];
    request.bOverwrite = bOverwrite;
    request.bKeepChosen = bKeepChosen;
    return ArchiveUnpack(request, strOutput, pProgress);
}
