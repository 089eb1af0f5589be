// The VB, Perl and Pascal routines.
#include "syntaxtest.h"

TEST(ParseLineVB, ApostropheAndRemStartComments)
{
    EXPECT_EQ(Paint(ParseLineVB, "Dim x As Integer ' note"),
                                 "KKKOOOKKOKKKKKKKOCCCCCC");
    EXPECT_EQ(Paint(ParseLineVB, "REM note"), "CCCCCCCC");
    EXPECT_EQ(Paint(ParseLineVB, "rem"), "...");
    // REM also ends a longer word.
    EXPECT_EQ(Paint(ParseLineVB, "harem x"), "..CCCCC");
    EXPECT_EQ(Paint(ParseLineVB, "x = \"it's\" 'c"),
                                 ".OOOSSSSSSOCC");
    EXPECT_EQ(States(ParseLineVB, {"x ' a \\", "y", "z"}),
              (std::vector<std::uint32_t>{0x01, 0, 0}));
}

TEST(ParseLineVB, KeywordsIgnoreCase)
{
    EXPECT_EQ(Paint(ParseLineVB, "dim DIM Dim"), "KKKOKKKOKKK");
    EXPECT_EQ(Paint(ParseLineVB, "_x = 1.5"), "..OOONNN");
    EXPECT_EQ(States(ParseLineVB, {"s = \"a\\", "b\"", "c"}),
              (std::vector<std::uint32_t>{0x08, 0, 0}));
}

TEST(ParseLinePerl, SigilsCommentsAndStrings)
{
    EXPECT_EQ(Paint(ParseLinePerl, "print $print; # note"),
                                   "KKKKKOOOOOOOOOCCCCCC");
    EXPECT_EQ(Paint(ParseLinePerl, "$#list"), "OOOOOO");
    EXPECT_EQ(Paint(ParseLinePerl, "x#y"), ".CC");
    EXPECT_EQ(Paint(ParseLinePerl, "'a' \"b\""), "SSSOSSS");
    EXPECT_EQ(Paint(ParseLinePerl, "Print @ARGV"), ".....OOOOOO");
    EXPECT_EQ(States(ParseLinePerl, {"'abc", "x"}), (std::vector<std::uint32_t>{0, 0}));
    EXPECT_EQ(States(ParseLinePerl, {"'abc\\", "x'", "\"d\\", "e\""}),
              (std::vector<std::uint32_t>{0x10, 0, 0x08, 0}));
    // 表 ends in 0x5C and escapes nothing; 能 plus a real backslash does.
    EXPECT_EQ(Paint(ParseLinePerl, "'\x95\x5C';"), "SSSSO");
    EXPECT_EQ(ParseLine(ParseLinePerl, "'\x94\x5C\\';").dwState, 0u);
    EXPECT_EQ(Paint(ParseLinePerl, "'\x94\x5C\\'x'"), "SSSSSSS");
}

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

TEST(ParseLinePascal, KeywordsDirectivesAndOperators)
{
    EXPECT_EQ(Paint(ParseLinePascal, "BEGIN begin"), "KKKKKOKKKKK");
    // '_' starts no normal text: after an operator it keeps the operator colour.
    EXPECT_EQ(Paint(ParseLinePascal, "x := _y;"), ".OOOOOOO");
    EXPECT_EQ(Paint(ParseLinePascal, "_x"), "OO");
    EXPECT_EQ(Paint(ParseLinePascal, "#define X (* c *) y"),
                                     "PPPPPPPPPPCCCCCCCPP");
    EXPECT_EQ(Paint(ParseLinePascal, "  # x"), "OOPPP");
    EXPECT_EQ(Paint(ParseLinePascal, "x # y"), ".OOOO");
    EXPECT_EQ(States(ParseLinePascal, {"#x {", "}", "y"}),
              (std::vector<std::uint32_t>{0x20, 0, 0}));
}

TEST(ParseLinePascal, DoubleByteBracesAreNoDelimiters)
{
    // マ ends in 0x7D, ボ in 0x7B.
    EXPECT_EQ(Paint(ParseLinePascal, "{ \x83\x7D } x"), "CCCCCCOO");
    EXPECT_EQ(Paint(ParseLinePascal, "x\x83\x7B y"), "...OO");
    EXPECT_EQ(States(ParseLinePascal, {"{ \x83\x7D", "x"}),
              (std::vector<std::uint32_t>{0x20, 0x20}));
}
