// What the command-line tests compare of a run, in one piece.
#pragma once

#include "support/testutil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using ToolArgs = std::vector<std::string>;

// A run as "status|standard output|standard error", so that one comparison
// shows all three when it fails.
inline std::string Outcome(const CToolResult &r)
{
    return std::to_string(r.nStatus) + "|" + r.strOut + "|" + r.strErr;
}

// A refusal as scripts see it: the status (2, a usage error, by default),
// nothing on standard output and one line on standard error naming the tool.
inline ::testing::AssertionResult Refused(const CToolResult &r, int nStatus = 2)
{
    const bool bOneLine = r.strErr.rfind("wrenpad-tool: ", 0) == 0 && r.strErr.find('\n') == r.strErr.size() - 1;
    if (r.nStatus == nStatus && r.strOut.empty() && bOneLine)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << Outcome(r);
}
