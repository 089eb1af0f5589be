// grep: the folder search from the command line.
//
//   grep [--icase] [--regex] [--subdirs] TEXT PATTERNS FOLDER
//
// Prints, in Shift-JIS, the lines the search results bar would hold, each
// ended by a line feed, the summary line last. TEXT is converted from UTF-8
// when it is UTF-8 with a CP932 form, and taken as bytes otherwise. Exit
// status: 0 when lines matched, 1 when none did, 2 when the search ended
// early (a bad expression, too many results).
#include "cli/cli.h"
#include "search/foldersearch.h"
#include "text/codec.h"

#include <cerrno>
#include <cstring>

namespace {

class CPrintSink : public CFolderSearchSink
{
public:
    void OnResult(const CSearchResult &result) override
    {
        m_strOut += FormatResultLine(result);
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

private:
    std::string m_strOut;
    bool m_bOk = true;
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
    if (nUnmappable > 0)
        params.strText = args[i];
    params.strPatterns = args[i + 1];
    params.strFolder = args[i + 2];
    if (params.strText.empty() || params.strFolder.empty())
        return CliUsage("grep");

    CPrintSink sink;
    CFolderSearch search(params, sink);
    const bool bComplete = search.Run();
    if (!sink.Flush())
        return CliFail(std::string("cannot write output: ") + std::strerror(errno));
    if (!bComplete)
        return 2;
    return search.GetHitCount() > 0 ? 0 : 1;
}

const CCliRegistrar regGrep("grep", "[--icase] [--regex] [--subdirs] TEXT PATTERNS FOLDER", Grep);

} // namespace
