// The pattern syntax, row by row: what each construct matches, how far the
// operators reach, and which patterns are refused.
#include "search/regexutil.h"

#include <gtest/gtest.h>

namespace {

struct MatchRow
{
    const char *pszPattern;
    std::string_view text;
    const char *pszExpect;
};

template <std::size_t N>
void CheckRows(const MatchRow (&rows)[N])
{
    for (const MatchRow &r : rows)
        EXPECT_EQ(Match(r.pszPattern, r.text), r.pszExpect)
            << "pattern \"" << r.pszPattern << "\" on \"" << r.text << "\"";
}

} // namespace

TEST(RegexSyntax, EachConstructMatchesWhatItSays)
{
    const MatchRow rows[] = {
        {".", "\n", "0=0,1"},  // any byte, the line feed too
        {"a.c", std::string_view("a\0c", 3), "0=0,3"},
        {"^a", "ab", "0=0,1"},
        {"^b", "ab", "none"},
        {"b$", "ab", "0=1,2"},
        {"a$", "ab", "none"},
        {"<ab", "cab ab", "0=4,6"},
        {"ab>", "abc ab", "0=4,6"},
        {"<", "", "none"},         // start of word fails at the end of the text
        {"<", " a", "0=0,0"},      // ... and succeeds at its start whatever follows
        {">", "a", "0=1,1"},       // end of word never at the start of the text
        {"\\<a\\>", "<a>", "0=0,3"},
        {"[abc]+", "xxbcay", "0=2,5"},
        {"[^abc]+", "abxyc", "0=2,4"},
        {"(a)(b)", "ab", "0=0,2 1=0,1 2=1,2"},
        {"{a}(b)", "ab", "0=0,2 1=1,2"},  // braces group without a number
        {"a*", "aaa", "0=0,3"},
        {"a@", "aaa", "0=0,0"},
        {"a@b", "aab", "0=0,3"},
        {"a+", "baa", "0=1,3"},
        {"a#", "baa", "0=1,2"},
        {"a?b", "ab", "0=0,2"},
        {"a?b", "b", "0=0,1"},
        {"a|b", "b", "0=0,1"},
        {"x*", "", "0=0,0"},
        {"\\<(.*)\\>", "<a><b>", "0=0,6 1=1,5"},
        {"\\<(.@)\\>", "<a><b>", "0=0,3 1=1,2"},
        {"a*ab", "aaab", "0=0,4"},
        {"({a}|{ab})({c}|{bcd})(d*)", "abcd", "0=0,4 1=0,1 2=1,4 3=4,4"},
    };
    CheckRows(rows);
}

TEST(RegexSyntax, OperatorsTakeTheLastSingleItem)
{
    const MatchRow rows[] = {
        {"a|bc", "ac", "0=0,2"},
        {"a|bc", "bc", "0=0,2"},
        {"a|bc", "a", "none"},
        {"ab|cd", "acd", "0=0,3"},  // a, then b or c, then d
        {"ab|cd", "abd", "0=0,3"},
        {"ab|cd", "abcd", "none"},
        {"(ab)|(cd)", "cd", "0=0,2 2=0,2"},
        {"a|b|c", "xc", "0=1,2"},
        {"ab*", "abbb", "0=0,4"},
        {"ab*", "a", "0=0,1"},
        {"(ab)*", "ababx", "0=0,4 1=0,2"},
        {"[ab]+c", "abbac", "0=0,5"},
        {"\\d+x", "a12x", "0=1,4"},
        // A closure binds to the operand of '|' before the alternation is made.
        {"a|b*", "aab", "0=0,1"},
        {"a|b*", "bba", "0=0,2"},
        {"a*|b", "b", "0=0,0"},
        // Nested closures and empty iterations end.
        {"(a*)*b", "aac", "none"},
        {"(a*)*", "b", "0=0,0 1=0,0"},
        {"{a|b?}+c", "abc", "0=0,3"},
        {"(a?)+", "aa", "0=0,2 1=0,1"},
        {"a**", "aa", "0=0,2"},
    };
    CheckRows(rows);
}

TEST(RegexSyntax, Escapes)
{
    const MatchRow rows[] = {
        {"\\s\\s\\s\\s", " \t\r\n", "0=0,4"},
        {"\\s", "\f\v", "none"},
        {"\\S+", "  ab ", "0=2,4"},
        {"\\d+", "x42", "0=1,3"},
        {"\\D", "4a", "0=1,2"},
        {"\\w+", "_ab_", "0=1,3"},  // the underscore is not a word byte
        {"\\W", "a_", "0=1,2"},
        {"\\U+", "abCDe", "0=2,4"},
        {"\\L+", "ABcdE", "0=2,4"},
        {"\\w", "\xB1", "none"},
        {"\\a\\b\\e\\f\\n\\r\\t\\v", "\a\b\x1B\f\n\r\t\v", "0=0,8"},
        {"\\N065", "A", "0=0,1"},
        {"\\N000", std::string_view("\0", 1), "0=0,1"},
        {"\\o101", "A", "0=0,1"},
        {"\\x4a", "J", "0=0,1"},
        {"\\x4A", "J", "0=0,1"},
        {"\\xFF", "\xFF", "0=0,1"},
        {"\\q\\*\\\\\\.", "q*\\.", "0=0,4"},
        {"\\(\\)\\{\\}\\[\\]\\|\\@\\#", "(){}[]|@#", "0=0,9"},
    };
    CheckRows(rows);
}

TEST(RegexSyntax, Sets)
{
    const MatchRow rows[] = {
        {"[^\\s]+", "  ab c", "0=2,4"},
        {"[\\x41-\\x43]+", "ABCD", "0=0,3"},
        {"[\\N048-\\N050]+", "0129", "0=0,3"},
        {"[\\]]", "]", "0=0,1"},
        {"[\\\\]", "\\", "0=0,1"},
        {"[-a]+", "x-a", "0=1,3"},
        {"[a-c-e]+", "b-e", "0=0,3"},  // a '-' after a range is a byte
        {"[\\n\\t]+", "a\n\tb", "0=1,3"},
        {"[\\d\\s]+", "a1 2b", "0=1,4"},
        {"[^a]", "a", "none"},
        {"[]", "a", "none"},
        {"[^]", "\xFF", "0=0,1"},
        {"[.*+]+", "a.*+", "0=1,4"},  // operators are bytes inside a set
        {"[\\U]+", "aBC", "0=1,3"},
        {"[\\b]", "\b", "0=0,1"},
    };
    CheckRows(rows);
}

TEST(RegexSyntax, LenientEndsOfGroups)
{
    const MatchRow rows[] = {
        {"(a", "ba", "0=1,2 1=1,2"},  // an open group ends with the pattern
        {"(", "x", "0=0,0 1=0,0"},
        {"a)bc", "xbc a", "0=4,5"},   // a stray closer ends the pattern
        {"a}b", "a", "0=0,1"},
        {"()", "", "0=0,0 1=0,0"},
        {"^?a", "ba", "0=1,2"},
    };
    CheckRows(rows);
}

TEST(RegexSyntax, InvalidPatternsDoNotCompile)
{
    const char *const bad[] = {
        "",        // empty
        "\\",      // escape at the end
        "a\\",
        "\\N06",   // numbers need all their digits
        "\\N0a5",
        "\\N256",  // and must fit a byte
        "\\o8",
        "\\o400",
        "\\x4",
        "\\xg1",
        "[z-a]",   // range backwards
        "[a-]",    // range cut off by the ']'
        "[abc",    // set not closed
        "[a\\",
        "[a-\\d]", // a class is no range end
        "[\\d-z]",
        "[\\x4]",
        "*a",      // operators without an operand
        "+",
        "?a",
        "|a",
        "a|",
        "a||b",
        "(*a)",
        "{|a}",
        "a|*",
        "^*",      // closures over nothing that consumes
        "()*",
        "(^)+",
        "\\C*",
        "a(^$)#",
        "(a}",     // closer of the other kind
        "{a)",
        "(a|)",
    };
    for (const char *psz : bad) {
        RegexPattern *p = RegexCompile(psz);
        EXPECT_EQ(p, nullptr) << "pattern \"" << psz << "\"";
        RegexFree(p);
    }
    EXPECT_EQ(RegexCompile(nullptr), nullptr);
    RegexFree(nullptr);
}

TEST(RegexSyntax, SixtyThreeGroupsAtMost)
{
    std::string strPattern;
    std::string strText;
    for (int i = 0; i < REGEX_MAX_GROUPS; ++i) {
        strPattern += "(a)";
        strText += 'a';
    }
    const CRegexPtr p(RegexCompile(strPattern.c_str()));
    ASSERT_NE(p, nullptr);
    RegexRegisters regs;
    ASSERT_TRUE(RegexExecute(p.get(), strText.data(), static_cast<int>(strText.size()), 0, regs, true));
    EXPECT_EQ(regs.nStart[63], 62);
    EXPECT_EQ(regs.nEnd[63], 63);

    EXPECT_EQ(Match((strPattern + "(a)").c_str(), strText + "a"), "error");
    // Groups in braces take no register.
    EXPECT_NE(Match((strPattern + "{a}{b}").c_str(), strText + "ab"), "error");
}

TEST(RegexSyntax, ShiftJisCharactersAreLiteralPairs)
{
    const MatchRow rows[] = {
        // Second bytes equal to '\\', '|', '{', '[', ']', '@' are never operators.
        {"\x95\x5C", "\x95\x5C\x8E\xA6", "0=0,2"},                 // 表
        {"\x83\x5C", "x\x83\x5C", "0=1,3"},                        // ソ at the end of the pattern
        {"\x83\x7C", "\x83\x7C", "0=0,2"},                         // ポ
        {"\x83\x7B\x83\x7D", "\x83\x7B\x83\x7D", "0=0,4"},         // ボ マ
        {"\x83\x40+", "\x83\x40", "0=0,2"},                        // ァ then '+'
        {"[\x83\x5D]+", "\x83\x5D]", "0=0,3"},                     // ゾ inside a set: ']' is a byte of it
        {"[\x95\x5C]", "\\", "0=0,1"},                             // sets hold bytes
        {"\\\x95\x5C", "\x95\x5C", "0=0,2"},                       // an escaped double-byte character
        // An operator after a double-byte character applies to its second byte only.
        {"\x83\x41*", "\x83\x41\x41\x41", "0=0,4"},
        {"\x83\x41*", "\x83", "0=0,1"},
        {"\x83\x7C|x", "\x83x", "0=0,2"},
        {"\x83\x7C|x", "x", "none"},
        // The engine works on bytes: a single byte can match a second byte.
        {"A", "\x83\x41", "0=1,2"},
    };
    CheckRows(rows);
}
