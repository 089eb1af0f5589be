// Exit statuses and errors that every wrenpad-tool command shares: a bad
// path is refused alike everywhere, each error is one line on standard
// error, and the searching commands tell "nothing found" from trouble.
#include "cli/clitest.h"

#include <algorithm>
#include <set>
#include <sstream>
#include <sys/stat.h>

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
        ToolArgs args;
        bool bFolder;
        int nStatus;
    } commands[] = {
        {{"info", "@"}, false, 1}, {{"roundtrip", "@", dir.File("out")}, false, 1},
        {{"colour", "@"}, false, 1}, {{"dump", "@"}, false, 1},
        {{"detect", "@"}, false, 1}, {{"convert", "--to", "euc", "@"}, false, 1},
        {{"nkf", "s", "@"}, false, 1}, {{"subst", "a", "b", "@"}, false, 1},
        {{"split", "@", dir.File("parts")}, false, 1}, {{"archive", "list", "@"}, false, 1},
        {{"archive", "unpack", "@", dir.File("out")}, false, 1},
        {{"archive", "pack", dir.File("out.lzh"), "@"}, true, 1},
        {{"plugin", "run", "@", "0"}, false, 1}, {{"plugin", "list", "@"}, true, 1},
        {{"imgsize", "@"}, false, 1}, {{"regex", "a", "@"}, false, 2},
        {{"grep", "a", "*", "@"}, true, 2},
        // check takes pages and folders alike; the site's folder must be a folder.
        {{"check", "--site", "@", dir.File("file")}, true, 2},
    };
    const struct
    {
        std::string strFile;    // for a command that reads a file
        std::string strFolder;  // for one that reads a folder
        std::string strFileReason;
        std::string strFolderReason;
        bool bAsOrdinaryUser = false;
    } bad[] = {
        {dir.File("missing"), dir.File("missing"), "No such file or directory", "No such file or directory"},
        {dir.File("folder"), dir.File("file"), "Is a directory", "Not a directory"},  // each kind for the other
        {"/dev/null", "/dev/null", "a device or a socket, not a file", "Not a directory"},
        {dir.File("secret"), dir.File("closed"), "Permission denied", "Permission denied", true},
    };
    std::set<std::string> aCovered{"conv", "table"};  // standard input only: below
    for (const auto &command : commands) {
        aCovered.insert(command.args[0]);
        for (const auto &input : bad) {
            const std::string &strPath = command.bFolder ? input.strFolder : input.strFile;
            ToolArgs args = command.args;
            std::replace(args.begin(), args.end(), std::string("@"), strPath);
            const std::string &strReason = command.bFolder ? input.strFolderReason : input.strFileReason;
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
    // Every command --help lists is tried.
    const std::string strHelp = RunTool({"--help"}).strOut;
    const std::size_t nBegin = strHelp.find("\ncommands:\n");
    std::istringstream help(strHelp.substr(nBegin, strHelp.find("\nexit status:") - nBegin));
    std::set<std::string> aListed;
    for (std::string strLine; std::getline(help, strLine);) {
        if (strLine.rfind("  ", 0) == 0 && strLine[2] != ' ')
            aListed.insert(strLine.substr(2, strLine.find(' ', 2) - 2));
    }
    EXPECT_EQ(aCovered, aListed) << "a command of --help is not tried with bad paths";

    // Standard input that cannot be read.
    CToolRunOptions folderInput;
    folderInput.strInputPath = dir.File("folder");
    for (const ToolArgs &args : {ToolArgs{"conv", "6010"}, ToolArgs{"table", "--sep", "0", "--format", "1"}})
        EXPECT_TRUE(Refused(RunTool(args, folderInput), 1)) << args[0];
}

TEST(CliStatus, EveryCommandRefusesAWrongCommandLineWithStatusTwo)
{
    CTempDir dir;
    const std::string strFile = dir.File("f");
    WriteFileBytes(strFile, "x\n");
    // Those of conv and table are in test_cli_conv.cpp, those of check beside its site.
    const ToolArgs bad[] = {
        {"no-such-command"}, {"info"}, {"roundtrip", strFile}, {"dump"}, {"detect"},
        {"convert", "--to", "utf8", strFile}, {"convert", strFile}, {"nkf", "e"},
        {"regex", "x"}, {"subst", "x", "y"}, {"grep", "x", "*"}, {"grep", "--bogus", "x", "*", dir.Path()},
        {"grep", "", "*", dir.Path()}, {"split"}, {"split", "--size", "3", strFile}, {"split", "--size", strFile},
        {"archive"}, {"archive", "pack", dir.File("c.lzh")}, {"archive", "unpack", strFile},
        {"archive", "extract", strFile, dir.Path()}, {"plugin"}, {"plugin", "run", strFile},
        {"plugin", "run", strFile, "-1"}, {"imgsize"},
    };
    for (const ToolArgs &args : bad)
        EXPECT_TRUE(Refused(RunTool(args, "abc"))) << ::testing::PrintToString(args);
}
