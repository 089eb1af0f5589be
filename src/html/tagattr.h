// The markup the tag dialogs compose: the attribute text of each dialog (put
// between the tag name and ">"), the opening and closing texts of the
// commands that wrap the selection, colour values, and the remembered lists
// of the class-tag dialog.
//
// Values come in as the document's Shift-JIS bytes and are written as they
// are; nothing here escapes or checks them.
//
// Each tag whose attributes a dialog edits has one table of them: the name,
// whether the value is quoted, and the field of the dialog's record that
// holds it. The same table writes the ticked fields and reads an existing
// tag back into them, so that a name is spelled once.
#pragma once

#include "html/tagparse.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// A dialog field behind its check box: only a ticked field is written.
struct CAttrField
{
    bool bOn = false;
    std::string strValue;
};

// " name="value"" and " name=value".
std::string QuotedAttribute(std::string_view strName, std::string_view strValue);
std::string BareAttribute(std::string_view strName, std::string_view strValue);

enum EAttrForm
{
    ATTR_QUOTED,
    ATTR_BARE,
};

// One row of a tag's table. bSkipEmpty: an empty value is left out even
// with its box ticked.
template <typename Fields>
struct CAttrRow
{
    const char *pszName;
    EAttrForm eForm;
    CAttrField Fields::*pField;
    bool bSkipEmpty = false;
};

// The ticked fields of a record, in the order of its table.
template <typename Fields, std::size_t N>
std::string WriteAttributes(const Fields &fields, const CAttrRow<Fields> (&aTable)[N])
{
    std::string s;
    for (const CAttrRow<Fields> &row : aTable) {
        const CAttrField &field = fields.*row.pField;
        if (!field.bOn || (row.bSkipEmpty && field.strValue.empty()))
            continue;
        s += row.eForm == ATTR_QUOTED ? QuotedAttribute(row.pszName, field.strValue)
                                      : BareAttribute(row.pszName, field.strValue);
    }
    return s;
}

// The table's attributes of a tag, taken off the map into the record: a
// field is ticked when the tag gives it a value. What the map keeps is for
// "その他".
template <typename Fields, std::size_t N>
Fields TakeAttributes(CTagAttributeMap &attributes, const CAttrRow<Fields> (&aTable)[N], Fields fields = {})
{
    for (const CAttrRow<Fields> &row : aTable) {
        std::string strValue = TakeAttribute(attributes, row.pszName);
        fields.*row.pField = {!strValue.empty(), std::move(strValue)};
    }
    return fields;
}

// The tags whose attributes the dialogs edit, in the order the chooser of
// "タグ属性の挿入" lists them.
inline constexpr const char *ATTRIBUTE_DIALOG_TAGS[] = {"body", "font", "table", "td", "img", "a"};

// A file name behind a folder prefix ("階層"): "/" between them unless the
// prefix already ends with one. An empty prefix adds nothing, so the name
// never turns into one from the site's root.
std::string JoinFolderPrefix(std::string_view strFolder, std::string_view strFile);

// "フォントタグの設定": size (bare), color and face (quoted). The face is
// written only when it is not empty: the dialog clears it for "(なし)".
struct CFontTagFields
{
    CAttrField size;
    CAttrField color;
    CAttrField face;
};
inline constexpr CAttrRow<CFontTagFields> FONT_TAG_ATTRIBUTES[] = {
    {"size", ATTR_BARE, &CFontTagFields::size},
    {"color", ATTR_QUOTED, &CFontTagFields::color},
    {"face", ATTR_QUOTED, &CFontTagFields::face, true},
};
std::string FontTagAttributes(const CFontTagFields &fields);

// "罫線の設定": size (bare thickness), width (quoted; "%" after the length
// for percent), align (quoted).
struct CRuleFields
{
    CAttrField size;
    CAttrField width;
    bool bPercent = true;
    CAttrField align;
};
inline constexpr CAttrRow<CRuleFields> RULE_ATTRIBUTES[] = {
    {"size", ATTR_BARE, &CRuleFields::size},
    {"width", ATTR_QUOTED, &CRuleFields::width},
    {"align", ATTR_QUOTED, &CRuleFields::align},
};
std::string RuleAttributes(const CRuleFields &fields);

// "ホットリンクの設定": href (quoted, always; the folder prefix when ticked)
// and target (quoted).
struct CHotLinkFields
{
    CAttrField folder;
    std::string strFile;
    CAttrField target;
};
inline constexpr CAttrRow<CHotLinkFields> HOT_LINK_ATTRIBUTES[] = {
    {"target", ATTR_QUOTED, &CHotLinkFields::target},
};
std::string HotLinkAttributes(const CHotLinkFields &fields);

// "イメージファイルの設定": src (quoted, always), alt (quoted, when the name is
// not empty), width and height (bare, ticked and not empty), " border=0".
struct CImageFields
{
    CAttrField folder;
    std::string strFile;
    std::string strName;
    CAttrField width;
    CAttrField height;
    bool bNoBorder = false;
};
inline constexpr CAttrRow<CImageFields> IMAGE_ATTRIBUTES[] = {
    {"width", ATTR_BARE, &CImageFields::width, true},
    {"height", ATTR_BARE, &CImageFields::height, true},
};
std::string ImageAttributes(const CImageFields &fields);

// "テーブルセルの設定": width, height, colspan, rowspan (bare), align, valign,
// bgcolor (quoted).
struct CCellFields
{
    CAttrField width;
    CAttrField height;
    CAttrField colSpan;
    CAttrField rowSpan;
    CAttrField align;
    CAttrField vAlign;
    CAttrField bgColor;
};
inline constexpr CAttrRow<CCellFields> CELL_ATTRIBUTES[] = {
    {"width", ATTR_BARE, &CCellFields::width},
    {"height", ATTR_BARE, &CCellFields::height},
    {"colspan", ATTR_BARE, &CCellFields::colSpan},
    {"rowspan", ATTR_BARE, &CCellFields::rowSpan},
    {"align", ATTR_QUOTED, &CCellFields::align},
    {"valign", ATTR_QUOTED, &CCellFields::vAlign},
    {"bgcolor", ATTR_QUOTED, &CCellFields::bgColor},
};
std::string CellAttributes(const CCellFields &fields);

// "ボディオプションの設定" and the body of "HTML文章の設定": bgcolor,
// background, text, link, vlink, alink, all quoted.
struct CBodyFields
{
    CAttrField bgColor;
    CAttrField background;
    CAttrField text;
    CAttrField link;
    CAttrField vLink;
    CAttrField aLink;
};
inline constexpr CAttrRow<CBodyFields> BODY_ATTRIBUTES[] = {
    {"bgcolor", ATTR_QUOTED, &CBodyFields::bgColor},
    {"background", ATTR_QUOTED, &CBodyFields::background},
    {"text", ATTR_QUOTED, &CBodyFields::text},
    {"link", ATTR_QUOTED, &CBodyFields::link},
    {"vlink", ATTR_QUOTED, &CBodyFields::vLink},
    {"alink", ATTR_QUOTED, &CBodyFields::aLink},
};
std::string BodyAttributes(const CBodyFields &fields);
// What a body dialog shows for a document without a body tag: the usual
// colours, every box cleared.
CBodyFields DefaultBodyFields();

// "テーブルオプションの設定": border, width, height, cellspacing, cellpadding
// (bare), align, bgcolor (quoted).
struct CTableFields
{
    CAttrField border;
    CAttrField width;
    CAttrField height;
    CAttrField cellSpacing;
    CAttrField cellPadding;
    CAttrField align;
    CAttrField bgColor;
};
inline constexpr CAttrRow<CTableFields> TABLE_ATTRIBUTES[] = {
    {"border", ATTR_BARE, &CTableFields::border},
    {"width", ATTR_BARE, &CTableFields::width},
    {"height", ATTR_BARE, &CTableFields::height},
    {"cellspacing", ATTR_BARE, &CTableFields::cellSpacing},
    {"cellpadding", ATTR_BARE, &CTableFields::cellPadding},
    {"align", ATTR_QUOTED, &CTableFields::align},
    {"bgcolor", ATTR_QUOTED, &CTableFields::bgColor},
};
std::string TableAttributes(const CTableFields &fields);

// "ｲﾒｰｼﾞのｵﾌﾟｼｮﾝ設定": src, alt (quoted), border (bare), align (quoted),
// width, height, vspace, hspace (bare).
struct CImageOptionFields
{
    CAttrField src;
    CAttrField alt;
    CAttrField border;
    CAttrField align;
    CAttrField width;
    CAttrField height;
    CAttrField vSpace;
    CAttrField hSpace;
};
inline constexpr CAttrRow<CImageOptionFields> IMAGE_OPTION_ATTRIBUTES[] = {
    {"src", ATTR_QUOTED, &CImageOptionFields::src},
    {"alt", ATTR_QUOTED, &CImageOptionFields::alt},
    {"border", ATTR_BARE, &CImageOptionFields::border},
    {"align", ATTR_QUOTED, &CImageOptionFields::align},
    {"width", ATTR_BARE, &CImageOptionFields::width},
    {"height", ATTR_BARE, &CImageOptionFields::height},
    {"vspace", ATTR_BARE, &CImageOptionFields::vSpace},
    {"hspace", ATTR_BARE, &CImageOptionFields::hSpace},
};
std::string ImageOptionAttributes(const CImageOptionFields &fields);

// "アンカーのオプション設定": with the link box ticked, href to a file (behind
// the folder prefix when that is ticked), href to "#" and a jump target, or a
// bookmark name, by the chosen kind; then target.
enum EAnchorKind
{
    ANCHOR_FILE = 0,
    ANCHOR_JUMP = 1,
    ANCHOR_BOOKMARK = 2,
};
struct CAnchorFields
{
    bool bLink = false;
    EAnchorKind eKind = ANCHOR_FILE;
    CAttrField folder;
    std::string strFile;
    std::string strJump;
    std::string strBookmark;
    CAttrField target;
};
inline constexpr CAttrRow<CAnchorFields> ANCHOR_ATTRIBUTES[] = {
    {"target", ATTR_QUOTED, &CAnchorFields::target},
};
std::string AnchorAttributes(const CAnchorFields &fields);
// An existing anchor's fields, taken off the map: the link box ticked for a
// href or a name, the kind by which of them it has ("#" for a jump). A tag
// with both keeps its name in the map, so that nothing is lost.
CAnchorFields TakeAnchorFields(CTagAttributeMap &attributes);

// The attribute text with a non-empty "その他" behind it after a blank.
std::string WithOtherAttributes(std::string strAttributes, std::string_view strOther);

// The two texts a command wraps the selection in.
struct CTagTexts
{
    std::string strOpen;
    std::string strClose;
};

// "<font" + attributes (+ " " + strOther) + ">" then the ticked styles in the
// order bold, italic, underline, strike-through; the closing texts mirror them.
struct CFontStyles
{
    bool bBold = false;
    bool bItalic = false;
    bool bUnderline = false;
    bool bStrike = false;
};
CTagTexts FontTagTexts(std::string_view strAttributes, std::string_view strOther, const CFontStyles &styles);
// "<hN align="..."">" (or "<hN>" with no position) and "</hN>".
CTagTexts HeadingTagTexts(std::string_view strSize, std::string_view strAlign);
// "<p align="..."">" and "</p>".
CTagTexts ParagraphTagTexts(std::string_view strAlign);
// "<a name="...">" or "<a href="#...">", and "</a>".
CTagTexts BookmarkTagTexts(std::string_view strName);
CTagTexts JumpTagTexts(std::string_view strName);
// "<tag class="...">" and "</tag>".
CTagTexts ClassTagTexts(std::string_view strTag, std::string_view strClass);
// A tag around its attribute text: "<name" + attributes + ">" and "</name>".
CTagTexts AttributeTagTexts(std::string_view strName, std::string_view strAttributes);

// "#rrggbb" in lower case.
std::string FormatHexColor(int nRed, int nGreen, int nBlue);
// Reads "#" and six hexadecimal digits. False (and black) for anything else.
bool ParseHexColor(std::string_view text, int &nRed, int &nGreen, int &nBlue);

// The lists of the class-tag dialog, stored with a LF after each entry.
std::vector<std::string> SplitClassList(std::string_view strStored);
// What is stored after OK: the typed text first, then the entries that are
// not empty, at most CLASS_LIST_KEPT of them.
inline constexpr int CLASS_LIST_KEPT = 31;
std::string JoinClassList(std::string_view strTyped, const std::vector<std::string> &aEntries);
