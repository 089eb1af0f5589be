// What the command-line tests compare of a run, in one piece.
#pragma once

#include "support/testutil.h"

#include <string>

// A run as "status|standard output|standard error", so that one comparison
// shows all three when it fails.
inline std::string Outcome(const CToolResult &r)
{
    return std::to_string(r.nStatus) + "|" + r.strOut + "|" + r.strErr;
}
