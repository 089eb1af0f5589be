// What the status bar says about a command ("prompt\ntool tip") and the
// icon its tool bar button shows.
#pragma once

// The prompt of a command, or null. The text before "\n" goes to the status
// bar, the text after it is the button's tool tip.
const char *CommandPrompt(int nID);
// The name of the command's icon in the resource file (":/icons/NAME.svg"), or null.
const char *CommandIcon(int nID);
