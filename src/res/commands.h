// Command ids. Each id names one command of the menus, tool bars, key tables
// or context menus; the numbers are stable because stored tool-bar and menu
// files refer to them.
#pragma once

enum ECommandId
{
    // Editing (the framework's standard ids).
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_FIND = 57636,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_REPEAT = 57640,
    ID_EDIT_REPLACE = 57641,
    ID_EDIT_SELECT_ALL = 57642,
    ID_EDIT_UNDO = 57643,
    ID_EDIT_REDO = 57644,

    // Editing keys of the text view.
    ID_EDIT_DELETE = 37000,
    ID_EDIT_DELETE_BACK = 37001,
    ID_EDIT_DELETE_WORD_BACK = 37002,
    ID_EDIT_TAB = 37003,
    ID_EDIT_UNTAB = 37004,
    ID_EDIT_SWITCH_OVRMODE = 37005,

    // Navigation; each odd id is the selecting variant of the even one before it.
    ID_EDIT_CHAR_LEFT = 37100,
    ID_EDIT_EXT_CHAR_LEFT = 37101,
    ID_EDIT_CHAR_RIGHT = 37102,
    ID_EDIT_EXT_CHAR_RIGHT = 37103,
    ID_EDIT_WORD_LEFT = 37104,
    ID_EDIT_EXT_WORD_LEFT = 37105,
    ID_EDIT_WORD_RIGHT = 37106,
    ID_EDIT_EXT_WORD_RIGHT = 37107,
    ID_EDIT_LINE_UP = 37108,
    ID_EDIT_EXT_LINE_UP = 37109,
    ID_EDIT_LINE_DOWN = 37110,
    ID_EDIT_EXT_LINE_DOWN = 37111,
    ID_EDIT_SCROLL_UP = 37112,
    ID_EDIT_SCROLL_DOWN = 37113,
    ID_EDIT_PAGE_UP = 37114,
    ID_EDIT_EXT_PAGE_UP = 37115,
    ID_EDIT_PAGE_DOWN = 37116,
    ID_EDIT_EXT_PAGE_DOWN = 37117,
    ID_EDIT_LINE_END = 37118,
    ID_EDIT_EXT_LINE_END = 37119,
    ID_EDIT_HOME = 37120,
    ID_EDIT_EXT_HOME = 37121,
    ID_EDIT_TEXT_BEGIN = 37122,
    ID_EDIT_EXT_TEXT_BEGIN = 37123,
    ID_EDIT_TEXT_END = 37124,
    ID_EDIT_EXT_TEXT_END = 37125,
    ID_EDIT_FIND_PREVIOUS = 37126,

    // Bookmarks.
    ID_EDIT_TOGGLE_BOOKMARK0 = 37200,  // .. 37209
    ID_EDIT_GO_BOOKMARK0 = 37210,      // .. 37219
    ID_EDIT_CLEAR_BOOKMARKS = 37220,
    ID_EDIT_TOGGLE_BOOKMARK = 37223,
    ID_EDIT_GOTO_NEXT_BOOKMARK = 37224,
    ID_EDIT_GOTO_PREV_BOOKMARK = 37225,
    ID_EDIT_CLEAR_ALL_BOOKMARKS = 37226,

    // Status-bar indicators.
    ID_EDIT_INDICATOR_READ = 37901,
    ID_EDIT_INDICATOR_CRLF = 37902,
    ID_EDIT_INDICATOR_POSITION = 37903,
    ID_INDICATOR_OVR = 59140,

    // Indent and comment blocks.
    ID_INDENT = 171,
    ID_UNINDENT = 172,
    ID_COMMENT_BLOCK = 173,
    ID_UNCOMMENT_BLOCK = 174,

    // Application view commands.
    ID_MATCH_BRACKET = 6015,
    ID_CHAR_CODE = 6013,
    ID_EDIT_GOTO_LINE = 1306,
};
