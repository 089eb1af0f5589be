// The tool bars' button lists (0 is a separator) and the status bar's panes,
// by command id; the texts and icons come from the command table.
#pragma once

#include <span>

struct CToolBarResource
{
    int nID;  // 128 standard, 170 editing, 210 web, 300 the explorer pane's
    const char *pszTitle;
    std::span<const int> buttons;
};

enum
{
    IDR_TOOLBAR_STANDARD = 128,
    IDR_TOOLBAR_EDIT = 170,
    IDR_TOOLBAR_WEB = 210,
    IDR_TOOLBAR_DIRLIST = 300,
};

const CToolBarResource *FindToolBarResource(int nID);

// Every tool bar.
std::span<const CToolBarResource> ToolBarResources();

struct CStatusPane
{
    int nID;               // 0 for the message pane
    // Text whose width sizes the pane; null for the indicator's own text.
    const char *pszWidth;
};

// The panes in order, the message pane first.
std::span<const CStatusPane> StatusPanes();
