#include "res/toolbars.h"

#include "res/commands.h"

namespace {

constexpr int TOOLBAR_128[] = {
    ID_FILE_NEW,     ID_FILE_OPEN,     ID_FILE_SAVE,      0,
    ID_EDIT_CUT,     ID_EDIT_COPY,     ID_EDIT_PASTE,     0,
    ID_EDIT_UNDO,    ID_EDIT_REDO,     0,
    ID_EDIT_FIND,    ID_FOLDER_SEARCH, ID_VIEW_EXPLORER,  ID_EDIT_TOGGLE_BOOKMARK, 0,
    ID_WEB_PREVIEW,  ID_WEB_IMAGE,     ID_TABLE_MENU,     ID_LINK_MENU, ID_FORM_MENU, ID_WEB_TAG_ATTRIBUTES,
    ID_WEB_ERASE_TAGS, ID_WEB_LINK_CHECK,
};
constexpr int TOOLBAR_170[] = {
    ID_FILE_NEW,   ID_FILE_OPEN,     ID_FILE_SAVE,     0,
    ID_EDIT_CUT,   ID_EDIT_COPY,     ID_EDIT_PASTE,    0,
    ID_EDIT_UNDO,  ID_EDIT_REDO,     0,
    ID_EDIT_FIND,  ID_FOLDER_SEARCH, ID_VIEW_EXPLORER, 0,
    ID_EDIT_TOGGLE_BOOKMARK, ID_EDIT_GOTO_NEXT_BOOKMARK, ID_EDIT_GOTO_PREV_BOOKMARK, ID_EDIT_CLEAR_ALL_BOOKMARKS, 0,
    ID_INDENT,     ID_UNINDENT,      ID_COMMENT_BLOCK, ID_UNCOMMENT_BLOCK,
};
constexpr int TOOLBAR_210[] = {
    ID_HTML_MENU,      0,
    ID_WEB_HEADING,    ID_WEB_FONT,      ID_WEB_BOLD,        ID_WEB_ITALIC, ID_WEB_UNDERLINE, ID_WEB_HEX_COLOR, 0,
    ID_WEB_LINE_BREAK, ID_WEB_PARAGRAPH, ID_WEB_RULE,        ID_WEB_COMMENT, ID_WEB_STYLE_TAG, 0,
    ID_WEB_ALIGN_LEFT, ID_WEB_CENTER,    ID_WEB_ALIGN_RIGHT, 0,
    ID_WEB_INDENT_LIST, ID_WEB_BULLET_LIST, ID_WEB_NUMBERED_LIST,
};

constexpr int TOOLBAR_300[] = {
    ID_DIRLIST_ROOT,      ID_DIRLIST_UP,       0,
    ID_DIRLIST_NEW_FOLDER, ID_DIRLIST_NEW_TEXT, ID_DIRLIST_DELETE, 0,
    ID_DIRLIST_FIND,      ID_DIRLIST_PROPERTIES, ID_DIRLIST_OPTIONS,
};

constexpr CToolBarResource TOOLBARS[] = {
    {IDR_TOOLBAR_STANDARD, "標準ﾂｰﾙﾊﾞｰ", TOOLBAR_128},
    {IDR_TOOLBAR_EDIT, "標準ﾂｰﾙﾊﾞｰ2", TOOLBAR_170},
    {IDR_TOOLBAR_WEB, "Webﾂｰﾙﾊﾞｰ", TOOLBAR_210},
    {IDR_TOOLBAR_DIRLIST, "WpDirList", TOOLBAR_300},
};

// The line-end and character-code panes stand beside the position pane:
// documents keep their own line ends and code when saved, so both are worth
// seeing.
constexpr CStatusPane STATUS_PANES[] = {
    {0, ""},
    {ID_EDIT_INDICATOR_POSITION, "============"},
    {ID_EDIT_INDICATOR_CRLF, "========"},
    {ID_INDICATOR_FILECODE, "UTF-8 (BOM付き)"},
    {ID_INDICATOR_OVR, nullptr},
    {ID_EDIT_INDICATOR_READ, nullptr},
    {ID_INDICATOR_TAGMEMORY, nullptr},
    {ID_INDICATOR_KANA, nullptr},
    {ID_INDICATOR_CAPS, nullptr},
    {ID_INDICATOR_NUM, nullptr},
    {ID_INDICATOR_SCRL, nullptr},
};

} // namespace

const CToolBarResource *FindToolBarResource(int nID)
{
    for (const CToolBarResource &bar : TOOLBARS)
        if (bar.nID == nID)
            return &bar;
    return nullptr;
}

std::span<const CToolBarResource> ToolBarResources()
{
    return TOOLBARS;
}

std::span<const CStatusPane> StatusPanes()
{
    return STATUS_PANES;
}
