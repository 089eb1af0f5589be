// The list of document windows open when the editor last ended, so that the
// next start can bring them back: each window's file, its colouring type,
// its panes (rows and columns, their sizes, each pane's caret and scroll
// position), which window was active and whether windows were maximised.
//
// Stored as UTF-8 text, one window per "window" line followed by its "pane"
// lines; paths escape tab, line breaks and backslash. A line that cannot be
// read is skipped, so a damaged file loses only what it damaged.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct CSessionPane
{
    int nCaretLine = 0;
    int nCaretChar = 0;
    int nFirstLine = 0;
    int nFirstColumn = 0;
};

struct CSessionWindow
{
    std::string strPath;
    int nViewType = 0;
    int nRows = 1;
    int nColumns = 1;
    std::vector<int> aRowSizes;     // pixels, when split
    std::vector<int> aColumnSizes;
    std::vector<CSessionPane> aPanes;  // row by row
    bool bActive = false;
};

struct CSession
{
    bool bMaximized = false;
    std::vector<CSessionWindow> aWindows;  // in the order they were opened
};

std::string SerializeSession(const CSession &session);
// False when the text is not a session list at all.
bool ParseSession(std::string_view text, CSession &session);

// The session list in the state folder.
std::string SessionFilePath();
// Written to a temporary file and renamed over the old list.
bool WriteSessionFile(const std::string &strPath, const CSession &session);
bool ReadSessionFile(const std::string &strPath, CSession &session);
