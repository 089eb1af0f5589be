// The VB, Perl and Pascal routines.
#include "syntaxtest.h"

TEST(ParseLinePascal, CommentsSurviveEmptyLines)
{
    EXPECT_EQ(States(ParseLinePascal, {"{ a", "", "b } x"}),
              (std::vector<std::uint32_t>{0x20, 0x20, 0}));
    EXPECT_EQ(States(ParseLinePascal, {"(* a", "", "b *) x"}),
              (std::vector<std::uint32_t>{0x04, 0x04, 0}));
    EXPECT_EQ(Paint(ParseLinePascal, "{}x"), "CC.");
    EXPECT_EQ(Paint(ParseLinePascal, "(*) x *) y"), "CCCCCCCCOO");
    EXPECT_EQ(PaintLines(ParseLinePascal, {"(*", "*)x"}), "CC|CC.");
    EXPECT_EQ(Paint(ParseLinePascal, "x // c"), ".OCCCC");
    EXPECT_EQ(Paint(ParseLinePascal, "{$R+} x"), "CCCCCOO");
}
