// grep: the folder search from the command line.
//
//   grep [--icase] [--regex] [--subdirs] TEXT PATTERNS FOLDER
//
// Prints, in Shift-JIS, the result lines the search results bar would hold,
// each ended by a line feed, the summary line last. What the bar tells of
// trouble (a file that cannot be opened, a bad expression, too many
// results) goes to standard error instead, and makes the status 2. TEXT is
// converted from UTF-8 when it is UTF-8 with a CP932 form, and taken as
// bytes otherwise. UTF-8 with characters Shift-JIS lacks is searched for as
// the folder search dialog does it, and then the lines go out in UTF-8 with
// those characters, as the results bar shows them.
#include "cli/cli.h"
#include "search/foldersearch.h"
#include "text/codec.h"
#include "text/doctext.h"
#include "text/utf8check.h"

#include <cerrno>
#include <cstring>

namespace {

class CPrintSink : public CFolderSearchSink
{
public:
    CPrintSink(const std::string &strRoot, const std::string &strText, bool bUtf8)
        : m_strRoot(strRoot.ends_with('/') ? strRoot : strRoot + "/"), m_strText(strText), m_bUtf8(bUtf8)
    {
    }

    void OnResult(const CSearchResult &result) override
    {
        switch (result.nKind) {
        case SEARCHRESULT_CANNOT_OPEN:
            Trouble("cannot read " + InRoot(result.strPath) + ": "
                    + std::strerror(result.nErrno != 0 ? result.nErrno : EIO));
            return;
        case SEARCHRESULT_TOO_MANY:
            Trouble("grep: too many results (" + std::to_string(FOLDER_SEARCH_RESULT_LIMIT)
                    + " bytes); the search stopped there");
            return;
        case SEARCHRESULT_BAD_REGEX:
            Trouble("grep: the regular expression does not compile: " + m_strText);
            return;
        default:
            break;
        }
        m_strOut += m_bUtf8 ? FormatResultLineUtf8(result) : FormatResultLine(result);
        m_strOut += '\n';
        if (m_strOut.size() >= 65536)
            Flush();
    }
    bool Flush()
    {
        const bool bOk = m_bOk && CliWriteOut(m_strOut);
        m_strOut.clear();
        m_bOk = bOk;
        return bOk;
    }
    bool HadTrouble() const { return m_bTrouble; }

private:
    // The lines found so far go out first, so that the message stands where it happened.
    void Trouble(const std::string &strMessage)
    {
        Flush();
        std::fflush(stdout);
        CliFail(strMessage);
        m_bTrouble = true;
    }
    // The search names the folder itself as given, the rest below it.
    std::string InRoot(const std::string &strPath) const
    {
        return strPath == m_strRoot ? strPath : m_strRoot + strPath;
    }

    std::string m_strRoot;  // ending in '/', as the search names it
    std::string m_strText;  // as given
    bool m_bUtf8;           // the lines in UTF-8, not Shift-JIS
    std::string m_strOut;
    bool m_bOk = true;
    bool m_bTrouble = false;
};

int Grep(const CliArgs &args)
{
    FolderSearchParams params;
    std::size_t i = 0;
    for (; i < args.size() && args[i].rfind("--", 0) == 0; ++i) {
        if (args[i] == "--icase")
            params.bIgnoreCase = true;
        else if (args[i] == "--regex")
            params.bRegex = true;
        else if (args[i] == "--subdirs")
            params.bSubFolders = true;
        else
            return CliUsage("grep");
    }
    if (args.size() != i + 3)
        return CliUsage("grep");
    int nUnmappable = 0;
    params.strText = Utf8ToCp932(args[i], &nUnmappable);
    params.nDualForms = DualFormsIn(args[i]);
    const bool bExtra = nUnmappable > 0 && CheckUtf8(args[i]) == EUtf8Check::Wide;
    if (bExtra)
        params.strText = Utf8ToDocText(args[i], &params.extra);
    else if (nUnmappable > 0)
        params.strText = args[i];
    params.strPatterns = args[i + 1];
    params.strFolder = args[i + 2];
    if (params.strText.empty() || params.strFolder.empty())
        return CliUsage("grep");
    if (!CliCheckInput(params.strFolder, ECliInput::Folder))
        return CLI_TROUBLE;

    CPrintSink sink(params.strFolder, args[i], bExtra);
    CFolderSearch search(params, sink);
    const bool bComplete = search.Run();
    if (!sink.Flush())
        return CliFail(std::string("cannot write output: ") + std::strerror(errno), CLI_TROUBLE);
    if (!bComplete || sink.HadTrouble())
        return CLI_TROUBLE;
    return search.GetHitCount() > 0 ? CLI_OK : CLI_NOT_FOUND;
}

const CCliRegistrar regGrep("grep",
                            "[--icase] [--regex] [--subdirs] TEXT PATTERNS FOLDER\n"
                            "      prints the lines holding TEXT in Shift-JIS; in UTF-8 when TEXT holds\n"
                            "      characters Shift-JIS lacks (found in UTF-8, EUC-JP and JIS files)",
                            Grep, true);

} // namespace
