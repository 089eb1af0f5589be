// check: the editor's "リンクチェック" from the command line.
//
//   check [--recursive] [--notes] [--site FOLDER] FILE|FOLDER...
//
// Prints, in Shift-JIS, one "file(line): message" line for each fault the
// check finds, the notes too with --notes. A folder is a site of its own
// and a file's site is its folder, unless --site names the site's folder.
// Paths are printed as given ("./" dropped), so that run in the site's
// folder with "." the lines are those the editor shows. Exit status 0 when
// nothing is wrong, 1 when something is, 2 for wrong arguments or a path
// that cannot be read.
#include "cli/cli.h"
#include "sitecheck/sitecheck.h"
#include "text/codec.h"

#include <filesystem>
#include <memory>

#include <sys/stat.h>

namespace {

// A path as the findings show it: "./" and trailing '/' dropped, "" for ".".
std::string Shown(std::string strPath)
{
    while (strPath.size() > 1 && strPath.back() == '/')
        strPath.pop_back();
    while (strPath.rfind("./", 0) == 0 && strPath.size() > 2)
        strPath.erase(0, 2);
    return strPath == "." ? std::string() : strPath;
}

bool IsFolder(const std::string &strPath)
{
    struct stat st {};
    return stat(strPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The path relative to the site's folder; false when it lies outside.
bool InSite(const std::string &strSite, const std::string &strPath, std::string &strRelative)
{
    std::error_code ec;
    const auto site = std::filesystem::weakly_canonical(strSite, ec);
    const auto path = std::filesystem::weakly_canonical(strPath, ec);
    const std::string strRel = path.lexically_relative(site).string();
    if (strRel.empty() || strRel == ".." || strRel.rfind("../", 0) == 0)
        return false;
    strRelative = strRel == "." ? std::string() : strRel;
    return true;
}

int Check(const CliArgs &args)
{
    bool bRecursive = false;
    bool bNotes = false;
    std::string strSite;
    std::size_t i = 0;
    for (; i < args.size() && args[i].rfind("--", 0) == 0; ++i) {
        if (args[i] == "--recursive")
            bRecursive = true;
        else if (args[i] == "--notes")
            bNotes = true;
        else if (args[i] == "--site" && i + 1 < args.size())
            strSite = args[++i];
        else
            return CliUsage("check");
    }
    if (i >= args.size())
        return CliUsage("check");
    if (!strSite.empty() && !CliCheckInput(strSite, ECliInput::Folder))
        return CLI_USAGE;

    std::vector<std::unique_ptr<CSiteCheck>> aChecks;
    for (; i < args.size(); ++i) {
        const std::string &strPath = args[i];
        const bool bFolder = IsFolder(strPath);
        if (!CliCheckInput(strPath, bFolder ? ECliInput::Folder : ECliInput::File))
            return CLI_USAGE;
        std::string strRelative;
        if (!strSite.empty()) {
            if (!InSite(strSite, strPath, strRelative))
                return CliFail("check: " + strPath + " is not inside the site folder " + strSite, CLI_USAGE);
            if (aChecks.empty())
                aChecks.push_back(std::make_unique<CSiteCheck>(strSite));
        } else if (bFolder) {
            aChecks.push_back(std::make_unique<CSiteCheck>(strPath));
        } else {
            const std::filesystem::path path(strPath);
            aChecks.push_back(std::make_unique<CSiteCheck>(path.has_parent_path() ? path.parent_path().string() : "."));
            strRelative = path.filename().string();
        }
        if (bFolder)
            aChecks.back()->AddFolder(strRelative, bRecursive, Shown(strPath));
        else
            aChecks.back()->AddPage(strRelative, Shown(strPath));
    }

    int nErrors = 0;
    std::string strOut;
    for (const auto &pCheck : aChecks) {
        pCheck->Run();
        for (const CSiteFinding &finding : pCheck->GetFindings()) {
            if (finding.bNote && !bNotes)
                continue;
            strOut += Utf8ToCp932(FormatFinding(finding));
            strOut += '\n';
        }
        nErrors += pCheck->GetErrorCount();
        if (!CliWriteOut(strOut))
            return CliFail("cannot write output", CLI_FAILED);
        strOut.clear();
    }
    return nErrors > 0 ? CLI_FAILED : CLI_OK;
}

const CCliRegistrar regCheck("check",
                             "[--recursive] [--notes] [--site FOLDER] FILE|FOLDER...\n"
                             "      checks web pages (a folder's .html, .htm, .shtml and .xhtml files,\n"
                             "      and its subfolders' with --recursive) before they are uploaded:\n"
                             "      links and images that are missing or found only with other capitals,\n"
                             "      #anchors that no page holds, img width and height that are not the\n"
                             "      picture's, a charset declaration that is not the file's code, elements\n"
                             "      left open or closed in the wrong order, an id used twice. Nothing is\n"
                             "      fetched from the network. Prints \"file(line): message\" in Shift-JIS;\n"
                             "      --notes adds the notes (links not checked, links leaving the site, a\n"
                             "      page without a charset). A folder is its own site and a file's site is\n"
                             "      its folder, unless --site names it. Exit status 0 when nothing is\n"
                             "      wrong, 1 when something is, 2 for wrong arguments",
                             Check);

} // namespace
