#include "res/menus.h"

#include "res/commands.h"

namespace {

constexpr CMenuItem Cmd(int nID, const char *pszLabel = nullptr)
{
    return MenuCommand(nID, pszLabel);
}

constexpr CMenuItem Popup(const CMenuPopup &popup, const char *pszTitle = nullptr)
{
    return MenuPopup(popup, pszTitle);
}

constexpr CMenuItem SEP = MENU_SEP;

// ---------------------------------------------------------------------------
// Pop-ups shared by several menus

constexpr CMenuItem ARCHIVE_ITEMS[] = {Cmd(ID_ARCHIVE_EXTRACT), Cmd(ID_ARCHIVE_COMPRESS), SEP, Cmd(ID_FILE_SPLIT)};
constexpr CMenuPopup ARCHIVE = {"ﾌｧｲﾙ圧縮/解凍(&Z)", ARCHIVE_ITEMS};

constexpr CMenuItem RECENT_ITEMS[] = {Cmd(ID_FILE_CLEAR_MRU), SEP, Cmd(ID_FILE_MRU_FILE1)};
constexpr CMenuPopup RECENT = {"最近使ったﾌｧｲﾙ(&F)", RECENT_ITEMS};

constexpr CMenuItem BARS_ITEMS[] = {
    Cmd(ID_VIEW_EDITBAR), Cmd(ID_VIEW_TOOLBAR),    Cmd(ID_VIEW_WEBBAR),
    Cmd(ID_VIEW_STATUS_BAR), Cmd(ID_VIEW_FILETABBAR), Cmd(ID_VIEW_RESULTSBAR),
};
constexpr CMenuPopup VIEW_128 = {"表示(&V)", BARS_ITEMS};

constexpr CMenuItem FIND_ITEMS[] = {
    Cmd(ID_EDIT_FIND), Cmd(ID_EDIT_REPEAT), Cmd(ID_EDIT_FIND_PREVIOUS), Cmd(ID_EDIT_REPLACE), SEP, Cmd(ID_FOLDER_SEARCH),
};
constexpr CMenuPopup FIND = {"検索(&F)", FIND_ITEMS};

constexpr CMenuItem BOOKMARK_ITEMS[] = {
    Cmd(ID_EDIT_TOGGLE_BOOKMARK),
    Cmd(ID_EDIT_GOTO_NEXT_BOOKMARK),
    Cmd(ID_EDIT_GOTO_PREV_BOOKMARK),
    Cmd(ID_EDIT_CLEAR_ALL_BOOKMARKS),
};
constexpr CMenuPopup BOOKMARK = {"ブックマーク(&B)", BOOKMARK_ITEMS};

constexpr CMenuItem INSERT_ITEMS[] = {
    Cmd(ID_INSERT_FILE_NAME), Cmd(ID_INSERT_FILE_PATH), Cmd(ID_INSERT_RELATIVE_PATH), Cmd(ID_INSERT_TEXT_FILE),
};
constexpr CMenuPopup INSERT = {"挿入(&I)", INSERT_ITEMS};

// The text conversions: the last pop-up of the edit menu.
constexpr CMenuItem STRING_ITEMS[] = {
    Cmd(ID_HANKANA_TO_ZENKANA), Cmd(ID_HANKAKU_TO_ZENKAKU), Cmd(ID_ZENKAKU_ALNUM_TO_HANKAKU),
    Cmd(ID_ZENKAKU_SPACE_TO_HANKAKU), Cmd(ID_TO_LOWER), Cmd(ID_TO_UPPER), Cmd(ID_REVERSE_CHARS),
};
constexpr CMenuPopup STRING = {"文字列(&S)", STRING_ITEMS};
constexpr CMenuItem LINE_ITEMS[] = {
    Cmd(ID_LINE_ENDS_TO_CRLF), Cmd(ID_DELETE_EMPTY_LINES), Cmd(ID_BREAK_LINES_AT_WIDTH), Cmd(ID_REVERSE_LINES),
};
constexpr CMenuPopup LINES = {"行操作(&L)", LINE_ITEMS};
constexpr CMenuItem HTML_CONVERT_ITEMS[] = {Cmd(ID_HTML_ESCAPE), Cmd(ID_HTML_UNESCAPE), Cmd(ID_HTML_FORM_DECODE)};
constexpr CMenuPopup HTML_CONVERT = {"HTML操作(&H)", HTML_CONVERT_ITEMS};
constexpr CMenuItem CONVERT_ITEMS[] = {
    Cmd(ID_TABS_TO_SPACES),     Cmd(ID_DELETE_LEADING_BLANKS), Cmd(ID_DELETE_LEADING_COMMENT),
    Cmd(ID_DELETE_ALL_BLANKS),  Popup(STRING),                 Popup(LINES),
    Popup(HTML_CONVERT),
};
constexpr CMenuPopup CONVERT = {"編集(&E)", CONVERT_ITEMS};

// The pop-ups of the web menu; the tool-bar drop-downs show four of them.
constexpr CMenuItem BROWSER_ITEMS[] = {
    Cmd(ID_WEB_PREVIEW_BAR),      Cmd(ID_WEB_PREVIEW_SHELL),    Cmd(ID_WEB_PREVIEW_BROWSER2),
    Cmd(ID_WEB_PREVIEW_BROWSER3), Cmd(ID_WEB_PREVIEW_BROWSER4),
};
constexpr CMenuPopup BROWSER = {"ﾌﾞﾗｳｻﾞｰ起動(&B)\tCtrl+B", BROWSER_ITEMS};
constexpr CMenuItem BASIC_ITEMS[] = {Cmd(ID_WEB_BASIC_HTML), Cmd(ID_WEB_COMMENT), SEP, Cmd(ID_WEB_TITLE),
                                     Cmd(ID_WEB_BODY)};
constexpr CMenuPopup BASIC = {"HTML基本(&H)", BASIC_ITEMS};
constexpr CMenuItem DECORATION_ITEMS[] = {
    Cmd(ID_WEB_HEADING), Cmd(ID_WEB_FONT),      SEP, Cmd(ID_WEB_BOLD), Cmd(ID_WEB_ITALIC),
    Cmd(ID_WEB_UNDERLINE), Cmd(ID_WEB_STRIKE),
};
constexpr CMenuPopup DECORATION = {"文字装飾(&F)", DECORATION_ITEMS};
constexpr CMenuItem LAYOUT_ITEMS[] = {
    Cmd(ID_WEB_ALIGN_LEFT),   Cmd(ID_WEB_CENTER),     Cmd(ID_WEB_ALIGN_RIGHT), SEP,
    Cmd(ID_WEB_INDENT_LIST),  Cmd(ID_WEB_BULLET_LIST), Cmd(ID_WEB_NUMBERED_LIST), SEP,
    Cmd(ID_WEB_PARAGRAPH),    Cmd(ID_WEB_LINE_BREAK), Cmd(ID_WEB_RULE),         SEP,
    Cmd(ID_WEB_PRE),          Cmd(ID_WEB_BLOCKQUOTE),
};
constexpr CMenuPopup LAYOUT = {"段落・ﾚｲｱｳﾄ(&D)", LAYOUT_ITEMS};
constexpr CMenuItem IMAGE_ITEMS[] = {Cmd(ID_WEB_IMAGE), Cmd(ID_WEB_IMAGE_MAP)};
constexpr CMenuPopup IMAGE = {"画像・ｲﾒｰｼﾞ(&G)", IMAGE_ITEMS};
constexpr CMenuItem TABLE_ITEMS[] = {Cmd(ID_WEB_TABLE), Cmd(ID_WEB_TABLE_ROW), Cmd(ID_WEB_TABLE_CELL)};
constexpr CMenuPopup TABLE = {"表組み・ﾃｰﾌﾞﾙ(&T)", TABLE_ITEMS};
constexpr CMenuItem LINK_ITEMS[] = {Cmd(ID_WEB_HOTLINK), Cmd(ID_WEB_BOOKMARK), Cmd(ID_WEB_JUMP)};
constexpr CMenuPopup LINK = {"ホットリンク(&A)", LINK_ITEMS};
constexpr CMenuItem FORM_ITEMS[] = {Cmd(ID_WEB_FORM), SEP, Cmd(ID_WEB_FORM_INPUT), Cmd(ID_WEB_FORM_TEXTAREA),
                                    Cmd(ID_WEB_FORM_LISTBOX)};
constexpr CMenuPopup FORM = {"入力ﾌｫｰﾑ(&W)", FORM_ITEMS};
constexpr CMenuItem ENTITY_ITEMS[] = {Cmd(ID_WEB_ENTITY_AMP), Cmd(ID_WEB_ENTITY_QUOT), Cmd(ID_WEB_ENTITY_LT),
                                      Cmd(ID_WEB_ENTITY_GT)};
constexpr CMenuPopup ENTITY = {"特殊文字(&V)", ENTITY_ITEMS};
constexpr CMenuItem OTHER_ITEMS[] = {Cmd(ID_WEB_HEX_COLOR), Cmd(ID_WEB_TAG_ATTRIBUTES)};
constexpr CMenuPopup OTHER = {"その他(&E)", OTHER_ITEMS};
constexpr CMenuItem VERTICAL_ITEMS[] = {Cmd(ID_VERTICAL_SIMPLE), Cmd(ID_VERTICAL_TABLE)};
constexpr CMenuPopup VERTICAL = {"縦書き変換(&V)", VERTICAL_ITEMS};
// Plug-in commands go behind the last separator.
constexpr CMenuItem TOOL_ITEMS[] = {Popup(VERTICAL), Cmd(ID_TEXT_GRADATION), Cmd(ID_TABLE_TO_CSV), SEP};
constexpr CMenuPopup TOOLS = {"ツール(&T)", TOOL_ITEMS};

constexpr CMenuItem WEB_ITEMS[] = {
    Popup(BROWSER), Cmd(ID_WEB_REPEAT_TAG), SEP, Popup(BASIC), Popup(DECORATION), Popup(LAYOUT), Popup(IMAGE),
    Popup(TABLE), Popup(LINK), Popup(FORM), SEP, Cmd(ID_WEB_LINE_INSERT), Popup(ENTITY), Popup(OTHER), SEP,
    Popup(TOOLS), Cmd(ID_WEB_LINK_CHECK),
};
constexpr CMenuPopup WEB = {"Web(&W)", WEB_ITEMS};

// User tags go behind the last separator.
constexpr CMenuItem TAG_ITEMS[] = {
    Cmd(ID_WEB_ERASE_TAGS), Cmd(ID_WEB_KEEP_ONLY_TAGS), Cmd(ID_WEB_TAG_CASE), SEP,
    Cmd(ID_TAG_CASE_SETTING), Cmd(ID_USERTAG_ADD),      Cmd(ID_USERTAG_EDIT), SEP,
};
constexpr CMenuPopup TAG = {"ﾀｸﾞ(&T)", TAG_ITEMS};

// ---------------------------------------------------------------------------
// 128: no document window

constexpr CMenuItem FILE_128_ITEMS[] = {
    Cmd(ID_FILE_NEW),
    Cmd(ID_FILE_OPEN),
    Cmd(ID_TEMPLATE_OPEN),
    Cmd(ID_IMPORT_KANJI, "ｲﾝﾎﾟｰﾄ ( EUC/JIS...)"),
    SEP,
    Popup(ARCHIVE, "ﾌｧｲﾙの圧縮/解凍/分割"),
    SEP,
    Cmd(ID_FILE_PRINT_SETUP),
    SEP,
    Popup(RECENT),
    SEP,
    Cmd(ID_APP_EXIT, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)\tCtrl+Q"),
};
constexpr CMenuPopup FILE_128 = {"ﾌｧｲﾙ(&F)", FILE_128_ITEMS};

constexpr CMenuItem HELP_128_ITEMS[] = {Cmd(ID_HELP_FINDER), SEP, Cmd(ID_APP_ABOUT)};
constexpr CMenuPopup HELP_128 = {"ﾍﾙﾌﾟ(&H)", HELP_128_ITEMS};

constexpr CMenuItem MENU_128[] = {Popup(FILE_128), Popup(VIEW_128), Popup(HELP_128)};

// ---------------------------------------------------------------------------
// 129: with a document window

constexpr CMenuItem EXPORT_ITEMS[] = {Cmd(ID_EXPORT_EUC), Cmd(ID_EXPORT_JIS)};
constexpr CMenuPopup EXPORT = {"ｴｸｽﾎﾟｰﾄ(&E)", EXPORT_ITEMS};
constexpr CMenuItem PRINT_ITEMS[] = {Cmd(ID_FILE_PRINT), Cmd(ID_FILE_PRINT_PREVIEW), Cmd(ID_FILE_PAGE_SETUP),
                                     Cmd(ID_FILE_PRINT_SETUP)};
constexpr CMenuPopup PRINT = {"印刷(P)", PRINT_ITEMS};

constexpr CMenuItem REOPEN_ITEMS[] = {Cmd(ID_FILE_REOPEN_SJIS), Cmd(ID_FILE_REOPEN_UTF8), Cmd(ID_FILE_REOPEN_UTF8BOM),
                                      Cmd(ID_FILE_REOPEN_EUC), Cmd(ID_FILE_REOPEN_JIS)};
constexpr CMenuPopup REOPEN = {"文字コード指定で開き直す(&K)", REOPEN_ITEMS};

constexpr CMenuItem FILE_129_ITEMS[] = {
    Cmd(ID_FILE_NEW), Cmd(ID_FILE_OPEN), Cmd(ID_FILE_CLOSE), Cmd(ID_FILE_SAVE), Cmd(ID_FILE_SAVE_AS),
    Cmd(ID_FILE_REVERT), Popup(REOPEN), Cmd(ID_FILE_SAVE_ALL), SEP, Cmd(ID_TEMPLATE_OPEN), Cmd(ID_TEMPLATE_REGISTER), SEP,
    Cmd(ID_IMPORT_KANJI), Popup(EXPORT), SEP, Popup(ARCHIVE), SEP, Popup(PRINT), SEP, Popup(RECENT), SEP,
    Cmd(ID_APP_EXIT),
};
constexpr CMenuPopup FILE_129 = {"ﾌｧｲﾙ(&F)", FILE_129_ITEMS};

constexpr CMenuItem JUMP_ITEMS[] = {Cmd(ID_EDIT_GOTO_LINE), Cmd(ID_TAG_JUMP), Cmd(ID_MATCH_BRACKET)};
constexpr CMenuPopup JUMP = {"ジャンプ(&J)", JUMP_ITEMS};

constexpr CMenuItem EDIT_ITEMS[] = {
    Cmd(ID_EDIT_UNDO), Cmd(ID_EDIT_REDO), SEP, Cmd(ID_EDIT_CUT), Cmd(ID_EDIT_COPY), Cmd(ID_COPY_AS_HTML),
    Cmd(ID_EDIT_PASTE), Cmd(ID_EDIT_DELETE), SEP, Cmd(ID_EDIT_SELECT_ALL), Popup(FIND), Cmd(ID_INSERT_DATE_TIME),
    SEP, Popup(BOOKMARK), Popup(JUMP), Cmd(ID_READ_ONLY), SEP, Cmd(ID_CHAR_CODE), Popup(INSERT), Popup(CONVERT),
};
constexpr CMenuPopup EDIT = {"編集(&E)", EDIT_ITEMS};

constexpr CMenuItem VIEW_TYPE_ITEMS[] = {
    Cmd(ID_VIEW_TYPE_STANDARD), Cmd(ID_VIEW_TYPE_CPP),  Cmd(ID_VIEW_TYPE_VB),     Cmd(ID_VIEW_TYPE_HTML),
    Cmd(ID_VIEW_TYPE_HTML_SIMPLE), Cmd(ID_VIEW_TYPE_PERL), Cmd(ID_VIEW_TYPE_PASCAL),
};
constexpr CMenuPopup VIEW_TYPE = {"表示タイプ(&V)", VIEW_TYPE_ITEMS};

constexpr CMenuItem VIEW_129_ITEMS[] = {
    Cmd(ID_VIEW_EDITBAR), Cmd(ID_VIEW_TOOLBAR), Cmd(ID_VIEW_WEBBAR), Cmd(ID_VIEW_STATUS_BAR),
    Cmd(ID_VIEW_FILETABBAR), Cmd(ID_VIEW_RESULTSBAR), SEP, Cmd(ID_CHOOSE_FONT), Cmd(ID_TAB_STOP), SEP,
    Popup(VIEW_TYPE), Cmd(ID_VIEW_EXPLORER), SEP, Cmd(ID_VIEW_OPTIONS), Cmd(ID_LOAD_OBJECT_LIST),
};
constexpr CMenuPopup VIEW_129 = {"表示(&V)", VIEW_129_ITEMS};

constexpr CMenuItem WINDOW_ITEMS[] = {
    Cmd(ID_WINDOW_NEW), Cmd(ID_WINDOW_CASCADE), Cmd(ID_WINDOW_TILE_HORZ), Cmd(ID_WINDOW_TILE_VERT),
    Cmd(ID_WINDOW_ARRANGE), SEP, Cmd(ID_WINDOW_SPLIT), Cmd(ID_FILE_CLOSE_ALL), Cmd(ID_FILE_CLOSE, "閉じる(&C)"),
};
constexpr CMenuPopup WINDOW = {"ｳｨﾝﾄﾞｳ(&W)", WINDOW_ITEMS};

// Plug-in information goes behind the separator.
constexpr CMenuItem HELP_129_ITEMS[] = {Cmd(ID_HELP_FINDER), Cmd(ID_APP_ABOUT, "ﾊﾞｰｼﾞｮﾝ情報 (&A)..."), SEP};
constexpr CMenuPopup HELP_129 = {"ﾍﾙﾌﾟ(&H)", HELP_129_ITEMS};

constexpr CMenuItem MENU_129[] = {
    Popup(FILE_129), Popup(EDIT), Popup(VIEW_129), Popup(WEB), Popup(TAG), Popup(WINDOW), Popup(HELP_129),
};

// ---------------------------------------------------------------------------
// 134: the editing view's context menu, ending in the text conversions, the
// web menu and the tag menu of the menu bar

constexpr CMenuItem CONTEXT_ITEMS[] = {
    Cmd(ID_EDIT_UNDO), Cmd(ID_EDIT_REDO), SEP, Cmd(ID_EDIT_CUT), Cmd(ID_EDIT_COPY), Cmd(ID_EDIT_PASTE),
    Cmd(ID_EDIT_DELETE), SEP, Cmd(ID_EDIT_SELECT_ALL), Popup(FIND), Cmd(ID_INSERT_DATE_TIME), SEP, Popup(BOOKMARK),
    Cmd(ID_EDIT_GOTO_LINE), Cmd(ID_READ_ONLY), Popup(INSERT), SEP, Popup(CONVERT), Popup(WEB), Popup(TAG),
};
constexpr CMenuPopup CONTEXT = {"Context", CONTEXT_ITEMS};
constexpr CMenuItem OPEN_URL_ITEMS[] = {Cmd(ID_OPEN_URL)};
constexpr CMenuPopup OPEN_URL = {"開く(&O)", OPEN_URL_ITEMS};
constexpr CMenuItem OPEN_FILE_ITEMS[] = {Cmd(ID_OPEN_WITH_SHELL), Cmd(ID_OPEN_IN_EDITOR)};
constexpr CMenuPopup OPEN_FILE = {"開く(&O)", OPEN_FILE_ITEMS};

constexpr CMenuItem MENU_134[] = {Popup(CONTEXT), Popup(OPEN_URL), Popup(OPEN_FILE)};

// ---------------------------------------------------------------------------
// 161: the drop-downs of the table, link, form and basic HTML buttons

constexpr CMenuItem MENU_161[] = {
    Popup(TABLE, "ﾃｰﾌﾞﾙの設定(&T)"),
    Popup(LINK, "ﾘﾝｸの設定(&L)"),
    Popup(FORM),
    Popup(BASIC, "HTMLの設定(&H)"),
};

// ---------------------------------------------------------------------------
// 168: the explorer pane's context menu

constexpr CMenuItem DIRLIST_NEW_ITEMS[] = {
    Cmd(ID_DIRLIST_NEW_FOLDER), Cmd(ID_DIRLIST_NEW_TEXT), Cmd(ID_DIRLIST_NEW_HTML), Cmd(ID_DIRLIST_NEW_FROM_TEMPLATE),
};
constexpr CMenuPopup DIRLIST_NEW = {"新規作成(&N)", DIRLIST_NEW_ITEMS};
constexpr CMenuItem DIRLIST_ITEMS[] = {
    Cmd(ID_DIRLIST_OPEN), Cmd(ID_DIRLIST_EDIT), SEP, Popup(DIRLIST_NEW), Cmd(ID_DIRLIST_DELETE), SEP,
    Cmd(ID_DIRLIST_FIND), Cmd(ID_DIRLIST_PROPERTIES),
};
constexpr CMenuPopup DIRLIST = {"Explorer", DIRLIST_ITEMS};

constexpr CMenuItem MENU_168[] = {Popup(DIRLIST)};

constexpr CMenuResource MENUS[] = {
    {IDR_MAINFRAME, MENU_128},
    {IDR_WRENPADTYPE, MENU_129},
    {IDR_CONTEXT_MENU, MENU_134},
    {IDR_WEB_DROPDOWN, MENU_161},
    {IDR_DIRLIST_MENU, MENU_168},
};

} // namespace

const CMenuResource *FindMenuResource(int nID)
{
    for (const CMenuResource &menu : MENUS)
        if (menu.nID == nID)
            return &menu;
    return nullptr;
}

std::span<const CMenuResource> MenuResources()
{
    return MENUS;
}
