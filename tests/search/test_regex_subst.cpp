// Replacement texts: group references, case escapes, byte escapes and errors.
#include "search/regexutil.h"

#include <gtest/gtest.h>

namespace {

// Matches pszPattern in text and builds pszReplacement; "error" when the
// substitution fails.
std::string Subst(const char *pszPattern, std::string_view text, const char *pszReplacement)
{
    const CRegexPtr p(RegexCompile(pszPattern));
    RegexRegisters regs;
    if (!p || !RegexExecute(p.get(), text.data(), static_cast<int>(text.size()), 0, regs, true))
        return "no match";
    std::string strResult = "left over";
    if (RegexSubstitute(pszReplacement, text, regs, strResult) != 0)
        return strResult.empty() ? "error" : "error, but output: " + strResult;
    return strResult;
}

} // namespace

TEST(RegexSubst, GroupsAndCase)
{
    EXPECT_EQ(Subst("(\\w+) (\\w+)", "hello world", "\\u\\2 \\1"), "World hello");
    EXPECT_EQ(Subst("(\\w+)", " abc y", "<\\0|\\1>"), "<abc|abc>");
    EXPECT_EQ(Subst("(a)(b)(c)(d)(e)(f)(g)(h)(i)", "abcdefghi", "\\9\\8\\7\\6\\5\\4\\3\\2\\1"), "ihgfedcba");
    EXPECT_EQ(Subst("(\\w+)", "Mixed", "\\U\\1\\E-\\L\\1\\e-\\1"), "MIXED-mixed-Mixed");
    EXPECT_EQ(Subst("(\\w+)", "word", "\\l\\U\\1"), "wORD");   // the one-character escape wins
    EXPECT_EQ(Subst("(\\w+)", "WORD", "\\L\\u\\1"), "Word");
    EXPECT_EQ(Subst("(\\w*)", "", "\\u\\1x"), "X");           // waits for the next character
    EXPECT_EQ(Subst("x", "x", "\\Uabc\\x61"), "ABCA");       // everything copied, escapes too
    EXPECT_EQ(Subst("x", "x", ""), "");
}

TEST(RegexSubst, CaseChangesLeaveDoubleByteCharactersAlone)
{
    // ャ is 83 61: its second byte is an 'a' that must not become 'A' (ア).
    EXPECT_EQ(Subst("(.+)", "a\x83\x61" "b", "\\U\\1"), "A\x83\x61" "B");
    EXPECT_EQ(Subst("x", "x", "\\U\x83\x61" "a"), "\x83\x61" "A");
    EXPECT_EQ(Subst("x", "x", "\\u\x83\x61" "a"), "\x83\x61" "a");
    // A group that starts on a second byte copies it unchanged.
    EXPECT_EQ(Subst("(\\x61b)", "\x83" "ab", "\\U\\1"), "aB");
    // A second byte equal to '\\' is not an escape (表 is 95 5C).
    EXPECT_EQ(Subst("x", "x", "\x95\x5C" "n"), "\x95\x5C" "n");
}

TEST(RegexSubst, ByteEscapes)
{
    EXPECT_EQ(Subst("x", "x", "\\a\\b\\n\\r\\t"), "\a\b\n\r\t");
    EXPECT_EQ(Subst("x", "x", "\\d065\\o102\\x43\\x4a"), "ABCJ");
    EXPECT_EQ(Subst("x", "x", "\\q\\\\\\e"), "q\\");  // \e ends case, it is no byte
    // A malformed number ends the text without an error.
    EXPECT_EQ(Subst("x", "x", "ab\\d12xyz"), "ab");
    EXPECT_EQ(Subst("x", "x", "ab\\o9"), "ab");
    EXPECT_EQ(Subst("x", "x", "ab\\xZ1"), "ab");
    EXPECT_EQ(Subst("x", "x", "ab\\d999"), "ab");
}

TEST(RegexSubst, Errors)
{
    EXPECT_EQ(Subst("x", "x", "abc\\"), "error");
    EXPECT_EQ(Subst("(a)|(b)", "b", "\\1"), "error");  // group 1 is not set
    EXPECT_EQ(Subst("(a)", "a", "\\2"), "error");

    // Registers that do not fit the text are refused, not read.
    RegexRegisters regs;
    regs.Clear();
    regs.nStart[0] = 2;
    regs.nEnd[0] = 9;
    std::string strResult;
    EXPECT_EQ(RegexSubstitute("\\0", "abc", regs, strResult), -1);
    regs.nStart[0] = 2;
    regs.nEnd[0] = 1;
    EXPECT_EQ(RegexSubstitute("\\0", "abc", regs, strResult), -1);
    EXPECT_EQ(strResult, "");
}
