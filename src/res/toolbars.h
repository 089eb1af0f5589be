// The tool bars' button lists (0 is a separator) and the status bar's panes.
#pragma once

#include <cstddef>

struct CToolBarResource
{
    int nID;          // 128 standard, 170 editing, 210 web
    const char *pszTitle;
    const int *pButtons;
    std::size_t nCount;
};

enum
{
    IDR_TOOLBAR_STANDARD = 128,
    IDR_TOOLBAR_EDIT = 170,
    IDR_TOOLBAR_WEB = 210,
};

const CToolBarResource *FindToolBarResource(int nID);

struct CStatusPane
{
    int nID;               // 0 for the message pane
    const char *pszText;   // the indicator's text, shown while it is enabled
    const char *pszWidth;  // text whose width sizes the pane
};

struct CStatusPaneTable
{
    const CStatusPane *pPanes;
    std::size_t nCount;
};

const CStatusPaneTable &StatusPanes();
