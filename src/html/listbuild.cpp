#include "html/listbuild.h"

#include "html/tagcase.h"

namespace {

// Fixed markup in the chosen case; quoted parts keep theirs.
std::string Fixed(std::string_view text, bool bUpper)
{
    return bUpper ? TagCaseA(text, true) : std::string(text);
}

std::string ListOpening(const CListStyle &style, bool bSelection)
{
    switch (style.eKind) {
    case LISTKIND_NUMBERED:
        return "<ol type=\"" + style.strType + "\" start=\"" + std::to_string(style.nStart) + "\">\r\n\t<li>";
    case LISTKIND_BULLET:
        return "<ul type=\"" + style.strType + "\">\r\n\t<li>";
    default:
        return bSelection ? "<dl>\r\n\t<dt>" : "<dl>\r\n\t<dd>";
    }
}

const char *ListClosingTag(EListKind eKind)
{
    switch (eKind) {
    case LISTKIND_NUMBERED:
        return "</ol>";
    case LISTKIND_BULLET:
        return "</ul>";
    default:
        return "</dl>";
    }
}

std::string Quoted(std::string_view strName, std::string_view strValue, bool bUpper)
{
    return Fixed(std::string(strName) + "=\"", bUpper) + std::string(strValue) + '"';
}

} // namespace

CTagTexts ListTagTexts(const CListStyle &style, bool bUpper)
{
    return {Fixed(ListOpening(style, false), bUpper),
            Fixed(std::string("\r\n") + ListClosingTag(style.eKind) + "\r\n", bUpper)};
}

std::string BuildList(std::string_view text, const CListStyle &style, bool bUpper)
{
    const std::string strItem = Fixed(style.eKind == LISTKIND_INDENT ? "\t<br>" : "\t<li>", bUpper);
    const std::string strFirst = Fixed(style.eKind == LISTKIND_INDENT ? "\t<dd>" : "\t<li>", bUpper);
    std::string s = Fixed(ListOpening(style, true), bUpper);
    s.reserve(s.size() + text.size() + text.size() / 8 + 16);
    bool bFirst = true;
    for (const char c : text) {
        s += c;
        if (c == '\n') {
            s += bFirst ? strFirst : strItem;
            bFirst = false;
        }
    }
    s += Fixed(std::string("\r\n") + ListClosingTag(style.eKind), bUpper);
    return s;
}

char TableSeparatorByte(int nSeparator)
{
    switch (nSeparator) {
    case TABLESEP_TAB:
        return '\t';
    case TABLESEP_BLANK:
        return ' ';
    default:
        return ',';
    }
}

std::string AutoTable(std::string_view text, int nSeparator, bool bUpper)
{
    // The separators are ASCII bytes below 0x40, never the second byte of a
    // double-byte character, so a byte-wise scan cannot split one.
    const char chSep = TableSeparatorByte(nSeparator);
    const std::string strCell = Fixed("</td><td>", bUpper);
    const std::string strRow = Fixed("</td>\r\n\t</tr>\r\n\t<tr><td>", bUpper);
    std::string s = Fixed("<table border>\r\n\t<tr><td>", bUpper);
    s.reserve(s.size() + text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == chSep)
            s += strCell;
        else if (c == '\n')
            s += strRow;
        else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        else
            s += c;
    }
    s += Fixed("</td>\r\n\t</tr>\r\n</table>", bUpper);
    return s;
}

CTagTexts FormTagTexts(std::string_view strUrl, bool bUpper)
{
    return {Fixed("<form method=\"post\" ", bUpper) + Quoted("action", strUrl, bUpper) + ">\r\n",
            Fixed("</form>", bUpper)};
}

const char *FormInputTypeWord(EFormInputType eType)
{
    static const char *const aWords[] = {"text", "password", "hidden", "radio", "checkbox", "submit", "reset"};
    const int n = static_cast<int>(eType);
    return n >= 0 && n < 7 ? aWords[n] : aWords[0];
}

bool FormInputHasLength(EFormInputType eType)
{
    return eType == FORMINPUT_TEXT || eType == FORMINPUT_PASSWORD || eType == FORMINPUT_HIDDEN;
}

bool FormInputHasChecked(EFormInputType eType)
{
    return eType == FORMINPUT_RADIO || eType == FORMINPUT_CHECKBOX;
}

bool FormInputHasTitle(EFormInputType eType)
{
    return eType != FORMINPUT_SUBMIT && eType != FORMINPUT_RESET;
}

std::string FormInputText(const CFormInputFields &fields, bool bUpper)
{
    std::string strTag = Fixed(std::string("<input type=\"") + FormInputTypeWord(fields.eType) + "\" ", bUpper);
    strTag += Quoted("name", fields.strName, bUpper) + ' ';
    strTag += Quoted("value", fields.strValue, bUpper);
    if (FormInputHasLength(fields.eType) && fields.length.bOn)
        strTag += Fixed(" size=", bUpper) + fields.length.strValue;
    if (FormInputHasChecked(fields.eType) && fields.bChecked)
        strTag += Fixed(" checked", bUpper);
    strTag += '>';
    if (!FormInputHasTitle(fields.eType))
        return strTag;
    return FormInputHasChecked(fields.eType) ? strTag + fields.strTitle : fields.strTitle + strTag;
}

std::string TextAreaText(const CTextAreaFields &fields, bool bUpper)
{
    std::string s;
    if (!fields.strTitle.empty())
        s += fields.strTitle + Fixed("<br>\r\n", bUpper);
    s += Fixed("<textarea ", bUpper) + Quoted("name", fields.strName, bUpper);
    if (fields.cols.bOn)
        s += ' ' + Quoted("cols", fields.cols.strValue, bUpper);
    if (fields.rows.bOn)
        s += ' ' + Quoted("rows", fields.rows.strValue, bUpper);
    s += '>';
    if (!fields.strDefault.empty())
        s += "\r\n" + fields.strDefault;
    s += Fixed("\r\n</textarea>", bUpper);
    return s;
}

std::string ListBoxText(const CListBoxFields &fields, bool bUpper)
{
    std::string s;
    if (!fields.strTitle.empty())
        s += fields.strTitle + Fixed("<br>\r\n", bUpper);
    s += Fixed("<select ", bUpper) + Quoted("name", fields.strName, bUpper);
    if (fields.size.bOn)
        s += Fixed(" size=", bUpper) + fields.size.strValue;
    if (fields.bMultiple)
        s += Fixed(" multiple", bUpper);
    s += ">\r\n";
    for (const CListBoxItem &item : fields.aItems) {
        s += Fixed(" <option ", bUpper) + Quoted("value", item.strKeyword, bUpper);
        if (item.bSelected)
            s += Fixed(" selected", bUpper);
        s += '>' + item.strText + "\r\n";
    }
    s += Fixed("</select>", bUpper);
    return s;
}
