// The one road by which files reach the editor: the main frame's OnCopyData
// with code 100 (a path: open it) or 101 ("path\tline": open it at that line).
// A second instance, the explorer pane, the results bar and the tag jump all
// hand files over through it. The main frame installs the receiver.
#pragma once

#include <functional>
#include <string>

enum
{
    COPYDATA_OPEN_FILE = 100,
    COPYDATA_OPEN_FILE_AT_LINE = 101,
};

// Delivers a hand-off to the main frame; false when no frame receives it.
bool SendCopyData(int nCode, const std::string &strPayload);
void SetCopyDataReceiver(std::function<bool(int nCode, const std::string &strPayload)> fnReceiver);
