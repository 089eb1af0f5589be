// Matching: case rules, where a search starts, what the registers hold, long
// texts, and the fast start-position scans against the plain walk.
#include "search/regexutil.h"

#include <gtest/gtest.h>

#include <random>

TEST(RegexMatch, SearchStartsAtTheGivenPositionAndSeesTheTextBefore)
{
    EXPECT_EQ(Match("abc", "abcabc", true, 1), "0=3,6");
    EXPECT_EQ(Match("^a", "abcabc", true, 3), "none");
    EXPECT_EQ(Match("<b", "ab b", true, 1), "0=3,4");
    EXPECT_EQ(Match("a>", "aa", true, 1), "0=1,2");
    EXPECT_EQ(Match("x*", "ab", true, 2), "0=2,2");
    EXPECT_EQ(Match("$", "ab", true, 0), "0=2,2");

    const CRegexPtr p(RegexCompile("a"));
    RegexRegisters regs;
    EXPECT_FALSE(RegexExecute(p.get(), "a", 1, 2, regs, true));
    EXPECT_FALSE(RegexExecute(p.get(), "a", 1, -1, regs, true));
    EXPECT_FALSE(RegexExecute(p.get(), "a", -1, 0, regs, true));
    EXPECT_FALSE(RegexExecute(nullptr, "a", 1, 0, regs, true));
    EXPECT_EQ(regs.nStart[0], -1);
}

TEST(RegexMatch, RegistersHoldTheFirstPassOfTheMatchingPath)
{
    // A group records where it was first passed on the path that matched.
    EXPECT_EQ(Match("(a)*", "aaa"), "0=0,3 1=0,1");
    EXPECT_EQ(Match("{(a)|(b)}+", "ba"), "0=0,2 1=1,2 2=0,1");
    // Groups on paths that were given up are not set.
    EXPECT_EQ(Match("{(a)x}|{ay}", "ay"), "0=0,2");
    EXPECT_EQ(Match("(x)?y", "y"), "0=0,1");

    // A context used for a pattern with many groups leaves nothing behind
    // for one with fewer.
    CRegexContext ctx;
    EXPECT_EQ(Match("(a)(b)(c)(d)", "abcd", true, 0, &ctx), "0=0,4 1=0,1 2=1,2 3=2,3 4=3,4");
    EXPECT_EQ(Match("(x)|y", "y", true, 0, &ctx), "0=0,1");
    EXPECT_EQ(Match("(a)(b)(c)(d)", "abc", true, 0, &ctx), "none");
}

TEST(RegexMatch, LongTextsNeedNoMachineStack)
{
    std::string text;
    for (int i = 0; i < 300000; ++i)
        text += "ab";
    text += 'c';
    const int n = static_cast<int>(text.size());
    EXPECT_EQ(Match("(a|b)*c", text), "0=0," + std::to_string(n) + " 1=0,1");
    EXPECT_EQ(Match("^{.}*d", text), "none");
    EXPECT_EQ(Match(".@c", text), "0=0," + std::to_string(n));
    EXPECT_EQ(Match("{ab}+$", text.substr(0, text.size() - 1)), "0=0," + std::to_string(n - 1));
}

namespace {

// Random patterns over a few bytes, built from every kind of item and operator.
std::string RandomPattern(std::mt19937 &rng)
{
    static const char *const items[] = {
        "a", "b", "A", "ab", "aB", "bab", ".", "[ab]", "[^a]", "[a-b]", "\\w", "\\s", "\\d", "\\U", "-",
        "x", "^", "$", "<", ">", "\\C", "\\c", "(", ")", "{", "}", "(", "{",
    };
    static const char *const ops[] = {"*", "@", "+", "#", "?", "|"};
    std::string s;
    const int nItems = 1 + static_cast<int>(rng() % 7);
    for (int i = 0; i < nItems; ++i) {
        s += items[rng() % (sizeof items / sizeof items[0])];
        if (rng() % 3 == 0)
            s += ops[rng() % (sizeof ops / sizeof ops[0])];
    }
    return s;
}

std::string RandomText(std::mt19937 &rng)
{
    static const char bytes[] = "aAbB x1-";
    std::string s;
    const int n = static_cast<int>(rng() % 12);
    for (int i = 0; i < n; ++i)
        s += bytes[rng() % (sizeof bytes - 1)];
    return s;
}

} // namespace

// The scans for start positions, the leading-literal search and the shortcuts
// around single-byte closures must never change a result.
TEST(RegexMatch, FastPathsAgreeWithThePlainWalk)
{
    std::mt19937 rng(20261206);
    CRegexContext fast;
    CRegexContext plain;
    plain.SetPlainMatching(true);
    int nCompared = 0;
    int nMatched = 0;
    for (int i = 0; i < 20000; ++i) {
        const std::string strPattern = RandomPattern(rng);
        const CRegexPtr p(RegexCompile(strPattern.c_str()));
        if (!p)
            continue;
        for (int k = 0; k < 3; ++k) {
            const std::string text = RandomText(rng);
            const int nStart = text.empty() ? 0 : static_cast<int>(rng() % (text.size() + 1));
            for (const bool bCase : {true, false}) {
                RegexRegisters a;
                RegexRegisters b;
                const bool bA = RegexExecute(p.get(), text.data(), static_cast<int>(text.size()), nStart, a, bCase, &fast);
                const bool bB = RegexExecute(p.get(), text.data(), static_cast<int>(text.size()), nStart, b, bCase, &plain);
                ASSERT_EQ(bA, bB) << strPattern << " on \"" << text << "\" from " << nStart;
                ASSERT_EQ(FormatRegisters(a), FormatRegisters(b)) << strPattern << " on \"" << text << "\"";
                ++nCompared;
                nMatched += bA;
            }
        }
    }
    // The generator must produce enough valid patterns, matching and not.
    EXPECT_GT(nCompared, 30000);
    EXPECT_GT(nMatched, nCompared / 5);
    EXPECT_LT(nMatched, nCompared * 4 / 5);
}
