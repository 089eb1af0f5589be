// table as scripts call it; conv's list and table builders are in
// test_cli_conv.cpp.
#include "cli/clitest.h"

#include <gtest/gtest.h>

TEST(CliTable, TableWritesTheEditorsOutput)
{
    const std::string strIn = "a,\"b,c\"\r\n\x95\x5C\r\n";
    EXPECT_EQ(Outcome(RunTool({"table", "--sep", "0", "--format", "0"}, strIn)),
              "0|<table>\r\n<tr><td>a</td>\r\n\t<td>b,c</td>\r\n</tr>\r\n"
              "<tr><td>\x95\x5C</td>\r\n\t<td></td>\r\n</tr>\r\n</table>\r\n|");
    EXPECT_EQ(RunTool({"table", "--format", "1", "--sep", "0"}, strIn).strOut, "a\tb,c\r\n\x95\x5C\t\r\n");
    EXPECT_EQ(RunTool({"table", "--sep", "0", "--format", "2"}, strIn).strOut, "a,\"b,c\"\r\n\x95\x5C,\r\n");
    EXPECT_EQ(RunTool({"table", "--sep", "1", "--format", "3"}, "x y\tz").strOut, "\"x y\" z\r\n");
    // No input: one empty cell.
    EXPECT_EQ(RunTool({"table", "--sep", "2", "--format", "0"}, "").strOut,
              "<table>\r\n<tr><td></td>\r\n</tr>\r\n</table>\r\n");
}
