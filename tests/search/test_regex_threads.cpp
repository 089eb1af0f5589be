// The engine keeps no state of its own between calls: two threads compile and
// match at once with the results each gets alone, and a match that would run
// for ages stops when another thread cancels it.
#include "search/regexutil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <vector>

namespace {

struct Job
{
    const char *pszPattern;
    bool bCase;
};

const char *const TEXTS[] = {
    "<a href=\"index.html\">Index</a> and <A HREF=x.htm>X</A>",
    "int main(void) { return 42; }",
    "aaaaaaaaaaaaaaaaaaaab",
    "",
    "Hello World hello world",
};

std::vector<std::string> RunJobs(const std::vector<Job> &jobs, const RegexPattern *pShared, int nRounds)
{
    std::vector<std::string> results;
    CRegexContext ctx;
    for (int round = 0; round < nRounds; ++round) {
        for (const Job &job : jobs) {
            for (const char *pszText : TEXTS) {
                results.push_back(Match(job.pszPattern, pszText, job.bCase, 0, &ctx));
                RegexRegisters regs;
                const std::string_view text(pszText);
                RegexExecute(pShared, text.data(), static_cast<int>(text.size()), 0, regs, job.bCase, &ctx);
                results.push_back(FormatRegisters(regs));
            }
        }
    }
    return results;
}

} // namespace

TEST(RegexThreads, TwoThreadsGetTheResultsTheyGetAlone)
{
    const std::vector<Job> jobsA = {
        {"<a href=\"([^\"]*)\"", false}, {"(\\w+) (\\w+)", true}, {"(a*)*b", true}, {"\\d+", true},
    };
    const std::vector<Job> jobsB = {
        {"{hello}|{world}", false}, {"(.)@\\>", true}, {"[A-Z]\\w+", true}, {"^$", true},
    };
    // One compiled pattern is shared by both threads as well.
    const CRegexPtr pShared(RegexCompile("(\\w)(\\w*)"));
    const std::vector<std::string> aloneA = RunJobs(jobsA, pShared.get(), 1);
    const std::vector<std::string> aloneB = RunJobs(jobsB, pShared.get(), 1);
    ASSERT_NE(aloneA, aloneB);

    const int nRounds = 300;
    auto futureA = std::async(std::launch::async, RunJobs, jobsA, pShared.get(), nRounds);
    auto futureB = std::async(std::launch::async, RunJobs, jobsB, pShared.get(), nRounds);
    const std::vector<std::string> togetherA = futureA.get();
    const std::vector<std::string> togetherB = futureB.get();
    ASSERT_EQ(togetherA.size(), aloneA.size() * nRounds);
    ASSERT_EQ(togetherB.size(), aloneB.size() * nRounds);
    for (std::size_t i = 0; i < togetherA.size(); ++i)
        ASSERT_EQ(togetherA[i], aloneA[i % aloneA.size()]) << "thread A, result " << i;
    for (std::size_t i = 0; i < togetherB.size(); ++i)
        ASSERT_EQ(togetherB[i], aloneB[i % aloneB.size()]) << "thread B, result " << i;
}

TEST(RegexThreads, CancelOrTheStepLimitEndsAnExponentialMatch)
{
    // Every split of the run of a's between the two loops is tried before the
    // match gives up: about 2^59 paths.
    const CRegexPtr p(RegexCompile("(a*)*[bc]"));
    ASSERT_NE(p, nullptr);
    const std::string text = std::string(60, 'a') + "!";
    std::atomic<bool> bCancel{false};
    CRegexContext ctx;
    ctx.SetCancelFlag(&bCancel);
    RegexRegisters regs;
    // The match would outlast the test by far (the step limit below ends it),
    // so only the flag, raised once the match has begun, can end it.
    std::promise<void> started;
    auto result = std::async(std::launch::async, [&] {
        started.set_value();
        return RegexExecute(p.get(), text.data(), static_cast<int>(text.size()), 0, regs, true, &ctx);
    });
    started.get_future().wait();
    bCancel = true;
    ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready) << "cancel was not seen";
    EXPECT_FALSE(result.get());
    EXPECT_TRUE(ctx.WasAborted());
    EXPECT_EQ(regs.nStart[0], -1);

    // A raised flag stops the next match at once; lowered, matching works again.
    EXPECT_EQ(Match("a", "a", true, 0, &ctx), "none");
    EXPECT_TRUE(ctx.WasAborted());
    bCancel = false;
    EXPECT_EQ(Match("a", "ba", true, 0, &ctx), "0=1,2");
    EXPECT_FALSE(ctx.WasAborted());

    // A step limit ends the same match too.
    CRegexContext limited;
    limited.SetStepLimit(100000);
    EXPECT_FALSE(RegexExecute(p.get(), text.data(), static_cast<int>(text.size()), 0, regs, true, &limited));
    EXPECT_TRUE(limited.WasAborted());
    // A short text still gets its real answer under the same limit.
    const std::string shortText = "aaaab";
    EXPECT_TRUE(RegexExecute(p.get(), shortText.data(), static_cast<int>(shortText.size()), 0, regs, true, &limited));
    EXPECT_FALSE(limited.WasAborted());
    EXPECT_EQ(FormatRegisters(regs), "0=0,5 1=0,4");
}
