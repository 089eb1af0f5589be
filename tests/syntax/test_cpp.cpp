// The C/C++ and Java routine.
#include "syntaxtest.h"

namespace {

std::string Cpp(std::string_view line, std::uint32_t dwCookie = 0)
{
    return Paint(ParseLineCpp, line, dwCookie);
}

} // namespace

TEST(ParseLineCpp, WordsNumbersAndOperators)
{
    EXPECT_EQ(Cpp("int x = 0x1F + 10L;"),
                  "KKKOOOOONNNNOOOOOOO");
    // The operator colour runs on over plain words until the next block.
    EXPECT_EQ(Cpp("a+b"), ".OO");
    EXPECT_EQ(Cpp("BOOL If dword DWORD"),
                  "WWWWOOOOOOOOOOWWWWW");
    EXPECT_EQ(Cpp("d = 3.14e+2 * 1.5;"),
                  ".OOONNNNNONOOONNNO");
    EXPECT_EQ(Cpp("a.b"), ".OO");
    EXPECT_EQ(Cpp("0X1F"), "....");
}

TEST(ParseLineCpp, StringsCharactersAndLineComments)
{
    EXPECT_EQ(Cpp("x = \"a\\\"b\" + 'c'; // note"),
                  ".OOOSSSSSSOOOSSSOOCCCCCCC");
    // Two backslashes before the quote: the quote ends the string.
    EXPECT_EQ(Cpp("s = \"\\\\\" x"),
                  ".OOOSSSSOO");
    // An unterminated string ends with its line unless a backslash follows it.
    EXPECT_EQ(States(ParseLineCpp, {"s = \"abc", "x"}), (std::vector<std::uint32_t>{0, 0}));
    EXPECT_EQ(States(ParseLineCpp, {"s = \"abc\\", "def\";", "x"}),
              (std::vector<std::uint32_t>{0x08, 0, 0}));
    EXPECT_EQ(PaintLines(ParseLineCpp, {"s = \"abc\\", "def\";"}), ".OOOSSSSS|SSSSO");
}

TEST(ParseLineCpp, CommentsCrossLines)
{
    EXPECT_EQ(States(ParseLineCpp, {"a /* b", "", "c */ d", "e"}),
              (std::vector<std::uint32_t>{0x04, 0x04, 0, 0}));
    // Slash, star, slash opens a comment that it does not close.
    EXPECT_EQ(PaintLines(ParseLineCpp, {"/*/ x", "y */z"}), "CCCCC|CCCC.");
    // A line that begins inside a comment may close it at once.
    EXPECT_EQ(PaintLines(ParseLineCpp, {"/*", "*/x"}), "CC|CC.");
    // A line comment ended by a backslash makes the whole next line a comment.
    EXPECT_EQ(States(ParseLineCpp, {"// note \\", "int x;", "int y;"}),
              (std::vector<std::uint32_t>{0x01, 0, 0}));
    EXPECT_EQ(PaintLines(ParseLineCpp, {"// \\", "int x;"}), "CCCC|CCCCCC");
}

TEST(ParseLineCpp, PreprocessorLines)
{
    EXPECT_EQ(Cpp("#include \"a.h\" // c"),
                  "PPPPPPPPPPPPPPPCCCC");
    EXPECT_EQ(Cpp("#define X /* c */ 1"),
                  "PPPPPPPPPPCCCCCCCPP");
    EXPECT_EQ(Cpp("  #  define X"),
                  "OOPPPPPPPPPPP");
    EXPECT_EQ(Cpp("x # y"), ".OOOO");
    EXPECT_EQ(States(ParseLineCpp, {"#define X \\", "  (1 + 2)", "int"}),
              (std::vector<std::uint32_t>{0x02, 0, 0}));
    EXPECT_EQ(PaintLines(ParseLineCpp, {"#define X \\", "  (1)"}), "PPPPPPPPPPP|PPPPP");
}

TEST(ParseLineCpp, DoubleByteCharactersNeverActAsDelimiters)
{
    // 表 is 0x95 0x5C: its second byte is no backslash, so the quote ends the string.
    EXPECT_EQ(ParseLine(ParseLineCpp, "\"\x95\x5C\";x").strPaint, "SSSSOO");
    // A real backslash after 表 escapes the quote.
    EXPECT_EQ(Cpp("\"\x95\x5C\\\"x\";y"), "SSSSSSSOO");
    // A line comment ending in 表 does not continue.
    EXPECT_EQ(States(ParseLineCpp, {"// \x95\x5C", "int x;"}), (std::vector<std::uint32_t>{0, 0}));
    EXPECT_EQ(PaintLines(ParseLineCpp, {"s = \"\x95\x5C", "x"}), ".OOOSSS|.");
    // Double-byte characters are word bytes; a lead byte with no trail byte
    // after it is a byte of its own and never swallows a quote.
    EXPECT_EQ(Cpp("\x95\x5C\x8E\xA6 = 1"), "....OOON");
    EXPECT_EQ(Cpp("\x95\"a\""), "OSSS");
    EXPECT_EQ(Cpp("x\x95"), ".O");
}
