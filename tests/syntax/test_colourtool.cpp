// The colour subcommand: arguments, line ends and the chaining of states.
#include "support/testutil.h"

#include <gtest/gtest.h>

TEST(ColourTool, RejectsBadArguments)
{
    CTempDir dir;
    WriteFileBytes(dir.File("a.c"), "x");
    EXPECT_EQ(RunTool({"colour"}).nStatus, 2);
    EXPECT_EQ(RunTool({"colour", "--type", "8", dir.File("a.c")}).nStatus, 2);
    EXPECT_EQ(RunTool({"colour", "--type", "1x", dir.File("a.c")}).nStatus, 2);
    EXPECT_EQ(RunTool({"colour", "--type"}).nStatus, 2);
    EXPECT_EQ(RunTool({"colour", dir.File("a.c"), dir.File("a.c")}).nStatus, 2);
    const CToolResult missing = RunTool({"colour", dir.File("missing.c")});
    EXPECT_EQ(missing.nStatus, 1);
    EXPECT_NE(missing.strErr.find("cannot read"), std::string::npos);
}
