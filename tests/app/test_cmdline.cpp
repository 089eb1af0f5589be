// The uninstall switch and the files of the command line.
#include "app/cmdline.h"
#include "app/docfile.h"
#include "support/testutil.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using Args = std::vector<std::string>;

TEST(CommandLine, UninstallSwitchWithOneOrTwoArguments)
{
    EXPECT_EQ(ParseUnregSwitch({"/unreg"}), UNREG_CONFIRM);
    EXPECT_EQ(ParseUnregSwitch({"/unreg", "/s"}), UNREG_SILENT);
    EXPECT_EQ(ParseUnregSwitch({"/S", "/UNREG"}), UNREG_SILENT);
    EXPECT_EQ(ParseUnregSwitch({"/unreg", "file.txt"}), UNREG_CONFIRM);
    EXPECT_EQ(ParseUnregSwitch({}), UNREG_NONE);
    EXPECT_EQ(ParseUnregSwitch({"/s"}), UNREG_NONE);
    EXPECT_EQ(ParseUnregSwitch({"/unregister"}), UNREG_NONE);
    // A third argument turns the switch into a file name.
    EXPECT_EQ(ParseUnregSwitch({"/unreg", "/s", "x"}), UNREG_NONE);
    EXPECT_EQ(CommandLineFiles({"/unreg", "/s", "x"}), (Args{"/unreg", "/s", "x"}));
}

TEST(CommandLine, FilesAreEveryArgumentButOptions)
{
    EXPECT_EQ(CommandLineFiles({"a.html", "/w/b.txt"}), (Args{"a.html", "/w/b.txt"}));
    EXPECT_EQ(CommandLineFiles({"-style", "a.txt", ""}), (Args{"a.txt"}));
    EXPECT_EQ(CommandLineFiles({"--", "-dash.txt"}), (Args{"-dash.txt"}));
    EXPECT_TRUE(CommandLineFiles({}).empty());
}

TEST(CommandLine, HelpAndVersionCountBeforeTheEndOfOptions)
{
    EXPECT_EQ(ParseInfoSwitch({"a.txt", "--help"}), INFO_HELP);
    EXPECT_EQ(ParseInfoSwitch({"--version", "-h"}), INFO_HELP);
    EXPECT_EQ(ParseInfoSwitch({"--version", "a.txt"}), INFO_VERSION);
    EXPECT_EQ(ParseInfoSwitch({"--", "--help"}), INFO_NONE);
    EXPECT_EQ(ParseInfoSwitch({"-help", "--helpme", "/?"}), INFO_NONE);

    // The messages locale: the first variable set wins, even when it is not Japanese.
    EXPECT_TRUE(IsJapaneseMessagesLocale(nullptr, nullptr, "ja_JP.UTF-8"));
    EXPECT_TRUE(IsJapaneseMessagesLocale("", "ja", "C"));
    EXPECT_FALSE(IsJapaneseMessagesLocale("C", "ja_JP.UTF-8", "ja_JP.UTF-8"));
    EXPECT_FALSE(IsJapaneseMessagesLocale(nullptr, nullptr, "jam"));
    EXPECT_FALSE(IsJapaneseMessagesLocale(nullptr, nullptr, nullptr));
}

TEST(CommandLine, WhatCannotBeOpenedIsToldApart)
{
    CTempDir dir;
    WriteFileBytes(dir.File("ok.txt"), "text\r\n");
    EXPECT_EQ(CheckFileForOpening(dir.File("ok.txt")), OPEN_OK);
    EXPECT_EQ(CheckFileForOpening(dir.File("missing.txt")), OPEN_MISSING);
    EXPECT_EQ(CheckFileForOpening(""), OPEN_MISSING);
    EXPECT_EQ(CheckFileForOpening(dir.Path()), OPEN_FOLDER);
    ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
    EXPECT_EQ(CheckFileForOpening(dir.File("pipe")), OPEN_NOT_REGULAR);

    // A 2 GB file, sparse so that the test writes nothing.
    const std::string strBig = dir.File("big.log");
    WriteFileBytes(strBig, "");
    ASSERT_EQ(::truncate(strBig.c_str(), 2LL << 30), 0);
    EXPECT_EQ(CheckFileForOpening(strBig), OPEN_TOO_LARGE);
    EXPECT_EQ(CheckFileForOpening(dir.File("ok.txt"), 3), OPEN_TOO_LARGE);

    WriteFileBytes(dir.File("secret.txt"), "x");
    ASSERT_EQ(::chmod(dir.File("secret.txt").c_str(), 0), 0);
    // The superuser reads any file.
    EXPECT_EQ(CheckFileForOpening(dir.File("secret.txt")), ::geteuid() == 0 ? OPEN_OK : OPEN_NO_PERMISSION);
}

TEST(CommandLine, PrintPdfTakesTheOutputThenTheFileAroundToolkitOptions)
{
    EXPECT_FALSE(ParsePrintPdfArgs({"a.txt", "-print-pdf"}).bRequested);
    CPrintPdfArgs args = ParsePrintPdfArgs({"--print-pdf", "out.pdf", "in.txt"});
    EXPECT_TRUE(args.bRequested);
    EXPECT_TRUE(args.strError.empty());
    args = ParsePrintPdfArgs({"-platform", "offscreen", "--print-pdf", "o.pdf", "in.txt"});
    EXPECT_EQ(args.strOut, "o.pdf");
    EXPECT_EQ(args.strFile, "in.txt");
    EXPECT_FALSE(ParsePrintPdfArgs({"--print-pdf", "o.pdf"}).strError.empty());
    EXPECT_FALSE(ParsePrintPdfArgs({"--print-pdf", "o.pdf", "a", "b"}).strError.empty());
}
