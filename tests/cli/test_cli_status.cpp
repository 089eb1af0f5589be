// Exit statuses and errors that every wrenpad-tool command shares: a bad
// path is refused alike everywhere, each error is one line on standard
// error, and the searching commands tell "nothing found" from trouble.
#include "cli/clitest.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <sys/stat.h>

namespace {

// The command names --help lists.
std::set<std::string> HelpCommands()
{
    std::set<std::string> names;
    std::istringstream in(RunTool({"--help"}).strOut);
    std::string strLine;
    bool bCommands = false;
    while (std::getline(in, strLine)) {
        if (strLine == "commands:" || strLine == "exit status:") {
            bCommands = strLine == "commands:";
            continue;
        }
        if (bCommands && strLine.rfind("  ", 0) == 0 && strLine[2] != ' ')
            names.insert(strLine.substr(2, strLine.find(' ', 2) - 2));
    }
    return names;
}

} // namespace

TEST(CliStatus, EveryCommandRefusesABadPathAlike)
{
    CTempDir dir;
    ::chmod(dir.Path().c_str(), 0755);  // the user nobody goes in, below
    WriteFileBytes(dir.File("file"), "text\n");
    ASSERT_EQ(::mkdir(dir.File("folder").c_str(), 0755), 0);
    WriteFileBytes(dir.File("secret"), "text\n");
    ::chmod(dir.File("secret").c_str(), 0);
    ASSERT_EQ(::mkdir(dir.File("closed").c_str(), 0), 0);

    // Each command with a path it reads ("@"), whether that is a file or a
    // folder, and whether the command searches.
    const struct
    {
        std::vector<std::string> args;
        bool bFolder;
        int nStatus;
    } commands[] = {
        {{"info", "@"}, false, 1},
        {{"roundtrip", "@", dir.File("out")}, false, 1},
        {{"colour", "@"}, false, 1},
        {{"dump", "@"}, false, 1},
        {{"detect", "@"}, false, 1},
        {{"convert", "--to", "euc", "@"}, false, 1},
        {{"nkf", "s", "@"}, false, 1},
        {{"subst", "a", "b", "@"}, false, 1},
        {{"split", "@", dir.File("parts")}, false, 1},
        {{"archive", "list", "@"}, false, 1},
        {{"archive", "unpack", "@", dir.File("out")}, false, 1},
        {{"archive", "pack", dir.File("out.lzh"), "@"}, true, 1},
        {{"plugin", "run", "@", "0"}, false, 1},
        {{"plugin", "list", "@"}, true, 1},
        {{"imgsize", "@"}, false, 1},
        {{"regex", "a", "@"}, false, 2},
        {{"grep", "a", "*", "@"}, true, 2},
        // check takes pages and folders alike; the site's folder must be a folder.
        {{"check", "--site", "@", dir.File("file")}, true, 2},
    };
    const struct
    {
        std::string strFile;    // for a command that reads a file
        std::string strFolder;  // for one that reads a folder
        std::string strReason;
        bool bAsOrdinaryUser = false;
    } bad[] = {
        {dir.File("missing"), dir.File("missing"), "No such file or directory"},
        {dir.File("folder"), dir.File("file"), ""},  // each kind given for the other
        {"/dev/null", "/dev/null", ""},
        {dir.File("secret"), dir.File("closed"), "Permission denied", true},
    };
    std::set<std::string> aCovered{"conv", "table"};  // standard input only: below
    for (const auto &command : commands) {
        aCovered.insert(command.args[0]);
        for (const auto &input : bad) {
            const std::string &strPath = command.bFolder ? input.strFolder : input.strFile;
            std::vector<std::string> args = command.args;
            for (std::string &strArg : args) {
                if (strArg == "@")
                    strArg = strPath;
            }
            std::string strReason = input.strReason;
            if (strReason.empty() && strPath == "/dev/null")
                strReason = command.bFolder ? "Not a directory" : "a device or a socket, not a file";
            else if (strReason.empty())
                strReason = command.bFolder ? "Not a directory" : "Is a directory";
            CToolRunOptions options;
            options.bAsOrdinaryUser = input.bAsOrdinaryUser;
            options.strInputPath = "/dev/null";
            EXPECT_EQ(Outcome(RunTool(args, options)), std::to_string(command.nStatus) + "||wrenpad-tool: cannot read "
                                                           + strPath + ": " + strReason + "\n")
                << ::testing::PrintToString(args);
        }
    }
    EXPECT_FALSE(FileExists(dir.File("out")));
    EXPECT_FALSE(FileExists(dir.File("parts")));
    EXPECT_EQ(aCovered, HelpCommands()) << "a command of --help is not tried with bad paths";

    // Standard input that cannot be read.
    for (const std::vector<std::string> &args :
         {std::vector<std::string>{"conv", "6010"}, std::vector<std::string>{"table", "--sep", "0", "--format", "1"}}) {
        CToolRunOptions options;
        options.strInputPath = dir.File("folder");
        const CToolResult r = RunTool(args, options);
        EXPECT_EQ(r.nStatus, 1) << args[0];
        EXPECT_EQ(r.strOut, "") << args[0];
        // One line beginning "wrenpad-tool:".
        EXPECT_EQ(r.strErr.rfind("wrenpad-tool: ", 0), 0u) << r.strErr;
        EXPECT_EQ(r.strErr.find('\n'), r.strErr.size() - 1) << r.strErr;
    }
}
