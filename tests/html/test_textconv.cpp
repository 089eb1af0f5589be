// The edit menu's text conversions over Shift-JIS bytes.
#include "html/textconv.h"
#include "support/sjistext.h"
#include "text/nkf.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Each double-byte character here has a second byte that equals an ASCII
// delimiter: ソ 83 5C '\', ボ 83 7B '{', ポ 83 7C '|', マ 83 7D '}', ァ 83 40 '@',
// ア 83 41 'A', Ｂ 82 61 'a'.
const std::string SO = S("ソ");
const std::string BO = S("ボ");
const std::string MA = S("マ");
const std::string PO = S("ポ");
const std::string XA = S("ァ");
const std::string A = S("ア");
const std::string FULL_B = S("Ｂ");

// Makes the kanji converter library unavailable for the scope.
class CNoConverterLibrary
{
public:
    CNoConverterLibrary() { NkfLibrary().Unload(); }
    ~CNoConverterLibrary() { NkfLibrary().Load(); }
};

} // namespace

TEST(TextConv, SecondBytesThatEqualDelimitersAreNeverTakenForThem)
{
    EXPECT_EQ(LowerCaseText("ABC" + A), "abc" + A);
    EXPECT_EQ(UpperCaseText("abc" + FULL_B), "ABC" + FULL_B);

    // 88 81 is one character; the '@' after it does not make a full-width space.
    std::string strOut = "untouched";
    EXPECT_FALSE(FullSpacesToBlanks("\x88\x81@", strOut));
    EXPECT_EQ(strOut, "untouched");

    // The ASCII brackets and the backslash open or close lines under the
    // kinsoku rules; the same bytes inside a character do nothing.
    EXPECT_EQ(BreakLinesAtWidth(S("あい") + MA, 2, true), S("あい\r\n") + MA);
    EXPECT_EQ(BreakLinesAtWidth(S("あい}"), 2, true), S("あい}"));
    EXPECT_EQ(BreakLinesAtWidth(S("あ") + BO + SO, 2, true), S("あ") + BO + "\r\n" + SO);
    EXPECT_EQ(BreakLinesAtWidth(S("あ{い"), 2, true), S("あ\r\n{い"));

    EXPECT_EQ(ReverseCharacters("a" + SO + "\r\n" + XA + "b"), "b" + XA + "\r\n" + SO + "a");
    EXPECT_EQ(HalfWidthToFull(SO + "\\" + PO + "|" + XA + "@"), SO + S("￥") + PO + S("｜") + XA + S("＠"));
    EXPECT_EQ(DeleteLinePrefix(XA + "@x\r\n@y", "@", false), XA + "@x\r\ny");
    EXPECT_EQ(EscapeHtmlSpecials(MA + "<" + BO + ">"), MA + "&LT;" + BO + "&GT;");
}

TEST(TextConv, ALoneLeadByteAtTheEndSurvivesEveryConversion)
{
    const std::string LEAD = "\x82";
    const struct
    {
        const char *pszName;
        std::function<std::string(std::string_view)> convert;
        std::string strIn;
        std::string strOut;
    } cases[] = {
        {"tabs", [](std::string_view t) { return TabsToBlanks(t, 2); }, "\t" + LEAD, "  " + LEAD},
        {"blanks", DeleteAllBlanks, " a " + LEAD, "a" + LEAD},
        {"kana", HalfKanaToFull, S("ｱ") + LEAD, S("ア") + LEAD},
        {"wide", HalfWidthToFull, "a" + LEAD, S("ａ") + LEAD},
        {"narrow", FullAlnumToHalf, S("ａ") + LEAD, "a" + LEAD},
        {"lower", LowerCaseText, "P" + LEAD, "p" + LEAD},
        {"upper", UpperCaseText, "p" + LEAD, "P" + LEAD},
        {"reverse", ReverseCharacters, "ab" + LEAD, LEAD + "ba"},
        {"crlf", LineBreaksToCrLf, "a\n" + LEAD, "a\r\n" + LEAD},
        {"empty lines", DeleteEmptyLines, "a\r\n\r\n" + LEAD, "a\r\n" + LEAD},
        {"line order", ReverseLines, "a\r\n" + LEAD, LEAD + "\r\na"},
        {"width", [](std::string_view t) { return BreakLinesAtWidth(t, 2, true); }, S("あい") + LEAD,
         S("あい\r\n") + LEAD},
        {"leading blanks", DeleteLeadingBlanks, "  " + LEAD, LEAD},
        {"prefix", [](std::string_view t) { return DeleteLinePrefix(t, "//", false); }, "//" + LEAD, LEAD},
        {"escape", EscapeHtmlSpecials, "<p>" + LEAD, "&LT;p&GT;" + LEAD},
        {"unescape", UnescapeHtmlSpecials, "&lt;" + LEAD, "<" + LEAD},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.convert(c.strIn), c.strOut) << c.pszName;
        EXPECT_EQ(c.convert(""), "") << c.pszName;
    }

    // A lead byte before a byte that cannot follow it stays alone, and the
    // byte after it is converted as usual.
    EXPECT_EQ(HalfWidthToFull(LEAD + " "), LEAD + S("　"));
    EXPECT_EQ(ReverseCharacters(LEAD + "\r\n"), "\r\n" + LEAD);
    std::string strOut;
    ASSERT_TRUE(FullSpacesToBlanks(LEAD + "\t" + S("　") + LEAD, strOut));
    EXPECT_EQ(strOut, LEAD + "\t  " + LEAD);
}

TEST(TextConv, BlanksTabsAndCase)
{
    EXPECT_EQ(TabsToBlanks("a\tb\t\t", 4), "a    b        ");
    // A tab width of 0 would make tabs vanish; it counts as 1.
    EXPECT_EQ(TabsToBlanks("a\tb", 0), "a b");
    EXPECT_EQ(DeleteAllBlanks(S("a b\tc\r\nd　e")), S("abcd　e"));

    std::string strOut;
    ASSERT_TRUE(FullSpacesToBlanks(S("　あ　　b"), strOut));
    EXPECT_EQ(strOut, S("  あ    b"));
    EXPECT_FALSE(FullSpacesToBlanks(S("あ b"), strOut));

    EXPECT_EQ(UpperCaseText(S("<a href=\"x\">ａｂ</a>")), S("<A HREF=\"X\">ａｂ</A>"));
}

TEST(TextConv, WidthConversionsNeedTheConverterLibrary)
{
    // Printable ASCII to its full-width form; line breaks and tabs stay.
    EXPECT_EQ(HalfWidthToFull(S("Ab 1~\"\t\r\nｶﾞ")), S("Ａｂ　１￣”\t\r\nガ"));
    EXPECT_EQ(FullAlnumToHalf(S("ＡＢ１２ａ　！")), S("AB12a ！"));

    CNoConverterLibrary none;
    const std::string text = S("ｶﾞ ＡＢ abc");
    EXPECT_EQ(HalfKanaToFull(text), text);
    EXPECT_EQ(HalfWidthToFull(text), text);
    EXPECT_EQ(FullAlnumToHalf(text), text);
}

TEST(TextConv, LineBreaksAndEmptyLines)
{
    // CR alone, LF alone and CR LF all end as CR LF, never as CR CR LF.
    EXPECT_EQ(LineBreaksToCrLf("a\rb\nc\r\nd\r"), "a\r\nb\r\nc\r\nd\r\n");
    EXPECT_EQ(LineBreaksToCrLf("\r\r\n\n\r"), "\r\n\r\n\r\n\r\n");
    EXPECT_EQ(LineBreaksToCrLf(S("ソ\nあ")), S("ソ\r\nあ"));

    EXPECT_EQ(DeleteEmptyLines("one\r\n\r\n\r\ntwo\r\n\r\n\r\nthree"), "one\r\ntwo\r\nthree");
    EXPECT_EQ(DeleteEmptyLines("a\n\n\nb\n"), "a\nb\n");
    // Only what follows a line feed goes: empty lines before the first stay.
    EXPECT_EQ(DeleteEmptyLines("\r\n\r\nx"), "\r\nx");
}

TEST(TextConv, ReversingLinesNeverJoinsTwo)
{
    EXPECT_EQ(ReverseLines("a\r\nb\r\nc\r\n"), "c\r\nb\r\na\r\n");
    // Without a final line break the lines still come out one a line, and
    // the result ends without one too.
    EXPECT_EQ(ReverseLines("a\r\nb\r\nc"), "c\r\nb\r\na");
    EXPECT_EQ(ReverseLines("one\nTWO\r\nthree"), "three\nTWO\r\none");
    EXPECT_EQ(ReverseLines("\r\nx"), "x\r\n");
    EXPECT_EQ(ReverseLines(S("一行")), S("一行"));
    EXPECT_EQ(ReverseLines(""), "");
}

TEST(TextConv, ReversingCharactersKeepsPairsTogether)
{
    EXPECT_EQ(ReverseCharacters(S("あいう\r\nabc")), S("cba\r\nういあ"));
    // A lone CR or LF is a character of its own.
    EXPECT_EQ(ReverseCharacters("a\n\rb"), "b\r\na");
    EXPECT_EQ(ReverseCharacters(""), "");
}

TEST(TextConv, BreakingLinesAtAWidth)
{
    // Full-width characters count two: N = 1 holds one of them.
    EXPECT_EQ(BreakLinesAtWidth(S("あいう"), 1, false), S("あ\r\nい\r\nう"));
    // No line ever holds more than 2N bytes, half-width and full-width mixed.
    EXPECT_EQ(BreakLinesAtWidth(S("aあいb"), 2, false), S("aあ\r\nいb"));
    EXPECT_EQ(BreakLinesAtWidth("abcdefg", 2, false), "abcd\r\nefg");
    // A line break in the text starts a new count; a line that is just full
    // gets no empty line after it; a CR alone does not start a new count.
    EXPECT_EQ(BreakLinesAtWidth("ab\r\ncd\r\nef", 1, false), "ab\r\ncd\r\nef");
    EXPECT_EQ(BreakLinesAtWidth("a\rbc", 1, false), "a\rb\r\nc");
    EXPECT_EQ(BreakLinesAtWidth(S("あいう"), 0, true), S("あいう"));

    // Kinsoku: a closing mark stays on the line it ends, however many follow.
    EXPECT_EQ(BreakLinesAtWidth(S("あい。う"), 2, true), S("あい。\r\nう"));
    EXPECT_EQ(BreakLinesAtWidth(S("あい。」う"), 2, true), S("あい。」\r\nう"));
    EXPECT_EQ(BreakLinesAtWidth(S("あい。う"), 2, false), S("あい\r\n。う"));
    EXPECT_EQ(BreakLinesAtWidth("ab.c", 1, true), "ab.\r\nc");
    // At the very end of the text no line break follows the hanging mark.
    EXPECT_EQ(BreakLinesAtWidth(S("あい。"), 2, true), S("あい。"));
    EXPECT_EQ(BreakLinesAtWidth(S("あいう。"), 1, true), S("あ\r\nい\r\nう。"));
    // The long-vowel mark is no closing mark.
    EXPECT_EQ(BreakLinesAtWidth(S("アイー"), 2, true), S("アイ\r\nー"));

    // An opening mark does not end a line: it moves on once the line holds 2N - 2.
    EXPECT_EQ(BreakLinesAtWidth(S("あい「う」"), 3, true), S("あい\r\n「う」"));
    EXPECT_EQ(BreakLinesAtWidth(S("あい「う」"), 3, false), S("あい「\r\nう」"));
    EXPECT_EQ(BreakLinesAtWidth(S("ab(c"), 2, true), S("ab\r\n(c"));
    // A mark right after a line break in the text starts its line anyway.
    EXPECT_EQ(BreakLinesAtWidth(S("あい\r\n「う"), 2, true), S("あい\r\n「う"));
}

TEST(TextConv, LineHeads)
{
    EXPECT_EQ(DeleteLeadingBlanks(S(" \ta\r\n  b c\r\n\r\n　d")), S("a\r\nb c\r\n\r\n　d"));

    const std::string text = "//a\r\n  //b\r\n\t#c // d\r\n////e";
    EXPECT_EQ(DeleteLinePrefix(text, "//", false), "a\r\n  b\r\n\t#c // d\r\n//e");
    EXPECT_EQ(DeleteLinePrefix(text, "//", true), "a\r\nb\r\n#c // d\r\n//e");
    EXPECT_EQ(DeleteLinePrefix(text, "#", false), "//a\r\n  //b\r\n\tc // d\r\n////e");
    EXPECT_EQ(DeleteLinePrefix(text, "", true), text);
    // A prefix is removed only as whole characters.
    EXPECT_EQ(DeleteLinePrefix(S("あいう"), "\x82", false), S("あいう"));
    EXPECT_EQ(DeleteLinePrefix(S("※注\r\n ※意"), S("※"), false), S("注\r\n 意"));
}

TEST(TextConv, HtmlSpecialCharactersGoAndComeBack)
{
    const std::string text = S("<a href=\"x.html?a=1&b=2\">&lt;戻る&gt;</a>");
    const std::string escaped = EscapeHtmlSpecials(text);
    EXPECT_EQ(escaped, S("&LT;a href=&QUOT;x.html?a=1&AMP;b=2&QUOT;&GT;&AMP;lt;戻る&AMP;gt;&LT;/a&GT;"));
    EXPECT_EQ(UnescapeHtmlSpecials(escaped), text);

    EXPECT_EQ(UnescapeHtmlSpecials("&Lt;&quot;&aMp;&GT;"), "<\"&>");
    // Only those four, each once, and only with their semicolon.
    EXPECT_EQ(UnescapeHtmlSpecials("&nbsp;&copy;&lt&gt x&"), "&nbsp;&copy;&lt&gt x&");
    EXPECT_EQ(UnescapeHtmlSpecials("&AMP;LT;&&amp;"), "&LT;&&");
}

TEST(TextConv, FormDataFieldsDecodeToShiftJisLines)
{
    // Shift-JIS, EUC-JP and UTF-8 fields all end as Shift-JIS.
    EXPECT_EQ(DecodeFormData("name=%82%a0%82%A2&&msg=a+b%2B%25"), S("name=あい\r\nmsg=a b+%"));
    EXPECT_EQ(DecodeFormData("e=%B4%C1%BB%FA&u=%E6%BC%A2%E5%AD%97"), S("e=漢字\r\nu=漢字"));
    EXPECT_EQ(DecodeFormData("&a=1&"), "a=1");
    EXPECT_EQ(DecodeFormData(""), "");
    // Percent signs without two hexadecimal digits stay as they are.
    EXPECT_EQ(DecodeFormData("p=100%&q=%4&r=%zz"), "p=100%\r\nq=%4\r\nr=%zz");
    // A decoded NUL byte cuts nothing off.
    EXPECT_EQ(DecodeFormData("a%00b&c"), std::string("a\0b\r\nc", 6));
}
