// The main window's key table: keys that run a command wherever the keyboard
// focus is in the window. The editing view answers its own keys first.
#pragma once

#include <cstddef>

struct CAccelEntry
{
    const char *pszKey;  // in QKeySequence's portable form, "Ctrl+Shift+B"
    int nID;
};

struct CAccelTable
{
    const CAccelEntry *pEntries;
    std::size_t nCount;
};

const CAccelTable &MainAccelerators();
