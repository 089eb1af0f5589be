// Ctrl+Shift with a digit as keyboards deliver it. The command table writes
// these keys with the digit ("Ctrl+Shift+4"), but a key press carries the
// symbol Shift gives on that key, and the symbol depends on the layout: "$"
// on US and Japanese keyboards alike, but "&" is Shift+7 on a US keyboard and
// Shift+6 on a Japanese one. The window looks its keys up by the digit these
// functions find, so that both layouts reach the same commands.
#pragma once

// The digit ('0' to '9') under a symbol typed with Shift, or 0 when there is
// none; a letter or digit is itself and gives 0 too. nKeyCode is the key's
// code as X11 and Wayland give it, 0 when unknown: codes 10 to 19 are the
// digit row (1 to 9, then 0) of every PC keyboard, and such a code decides.
// Without one the symbol decides where US and Japanese keyboards agree on
// its digit or only one of them has it; "&", "(" and ")", which the two put
// on different digits, then give 0.
char DigitUnderShiftedSymbol(char32_t chSymbol, unsigned nKeyCode);

// The command whose key in the given key tables (CMD_KEYS_VIEW,
// CMD_KEYS_FRAME) is Ctrl+Shift with the digit; 0 for none.
int CommandForShiftedDigit(char chDigit, unsigned nScope);
