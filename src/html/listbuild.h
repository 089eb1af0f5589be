// The markup of the list, table and form commands: what replaces a selection
// turned into a list or a table, the pair a command wraps an empty selection
// in, and the form tags composed from the form dialogs' fields.
//
// Everything is Shift-JIS bytes. Upper-case tags (bUpper) change only the
// fixed pieces outside double quotes: values the user typed, list types
// (an "a" list is not an "A" list) and titles keep their case.
#pragma once

#include "html/tablesep.h"
#include "html/tagattr.h"

#include <string>
#include <string_view>
#include <vector>

enum EListKind
{
    LISTKIND_INDENT = 0,    // <dl>, a term then its description lines
    LISTKIND_NUMBERED = 1,  // <ol type=... start=...>
    LISTKIND_BULLET = 2,    // <ul type=...>
};

struct CListStyle
{
    EListKind eKind = LISTKIND_INDENT;
    std::string strType;  // "1", "A", "a", "I", "i" or "disc", "circle", "square"
    int nStart = 1;       // numbered lists only
};

// The pair wrapped round an empty selection: the list opened with one item,
// and its closing lines.
CTagTexts ListTagTexts(const CListStyle &style, bool bUpper);

// A selection made a list: every line one item (for the indent list the
// first line is the term, the second its description, every later one a
// line of it behind "<br>").
std::string BuildList(std::string_view text, const CListStyle &style, bool bUpper);

// 0 comma, 1 tab, 2 blank; anything else is a comma.
char TableSeparatorByte(int nSeparator);

// "自動変換": every separator a cell boundary, every line break a row
// boundary (CR LF counts once, so no CR is left inside a cell). A selection
// that ends with a line break gets one more, empty, row.
std::string AutoTable(std::string_view text, int nSeparator, bool bUpper);

// "<form method="post" action="URL">" and "</form>".
CTagTexts FormTagTexts(std::string_view strUrl, bool bUpper);

enum EFormInputType
{
    FORMINPUT_TEXT = 0,
    FORMINPUT_PASSWORD,
    FORMINPUT_HIDDEN,
    FORMINPUT_RADIO,
    FORMINPUT_CHECKBOX,
    FORMINPUT_SUBMIT,
    FORMINPUT_RESET,
};
// "text", "password", ... for the type.
const char *FormInputTypeWord(EFormInputType eType);
// Which fields of the input dialog apply to a type.
bool FormInputHasLength(EFormInputType eType);
bool FormInputHasChecked(EFormInputType eType);
bool FormInputHasTitle(EFormInputType eType);

struct CFormInputFields
{
    EFormInputType eType = FORMINPUT_TEXT;
    std::string strTitle;
    std::string strName;
    std::string strValue;
    CAttrField length;     // text, password and hidden
    bool bChecked = false; // radio buttons and check boxes
};
// The input tag with its title in front (text fields) or behind (buttons to
// tick). Submit and reset buttons carry no title: their title field is off.
std::string FormInputText(const CFormInputFields &fields, bool bUpper);

struct CTextAreaFields
{
    std::string strTitle;
    std::string strName;
    CAttrField cols;
    CAttrField rows;
    std::string strDefault;
};
std::string TextAreaText(const CTextAreaFields &fields, bool bUpper);

struct CListBoxItem
{
    std::string strText;
    std::string strKeyword;
    bool bSelected = false;
};
struct CListBoxFields
{
    std::string strTitle;
    std::string strName;
    CAttrField size;
    bool bMultiple = false;
    std::vector<CListBoxItem> aItems;
};
std::string ListBoxText(const CListBoxFields &fields, bool bUpper);
