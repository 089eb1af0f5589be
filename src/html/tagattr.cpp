#include "html/tagattr.h"

#include <cstdio>

namespace {

std::string LinkTarget(const CAttrField &folder, std::string_view strFile)
{
    return folder.bOn ? JoinFolderPrefix(folder.strValue, strFile) : std::string(strFile);
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string QuotedAttribute(std::string_view strName, std::string_view strValue)
{
    std::string s = " ";
    s += strName;
    s += "=\"";
    s += strValue;
    s += '"';
    return s;
}

std::string BareAttribute(std::string_view strName, std::string_view strValue)
{
    std::string s = " ";
    s += strName;
    s += '=';
    s += strValue;
    return s;
}

std::string JoinFolderPrefix(std::string_view strFolder, std::string_view strFile)
{
    std::string s(strFolder);
    if (!s.empty() && s.back() != '/')
        s += '/';
    s += strFile;
    return s;
}

std::string FontTagAttributes(const CFontTagFields &fields)
{
    return WriteAttributes(fields, FONT_TAG_ATTRIBUTES);
}

std::string RuleAttributes(const CRuleFields &fields)
{
    if (!fields.bPercent)
        return WriteAttributes(fields, RULE_ATTRIBUTES);
    CRuleFields percent = fields;
    percent.width.strValue += '%';
    return WriteAttributes(percent, RULE_ATTRIBUTES);
}

std::string HotLinkAttributes(const CHotLinkFields &fields)
{
    return QuotedAttribute("href", LinkTarget(fields.folder, fields.strFile))
           + WriteAttributes(fields, HOT_LINK_ATTRIBUTES);
}

std::string ImageAttributes(const CImageFields &fields)
{
    std::string s = QuotedAttribute("src", LinkTarget(fields.folder, fields.strFile));
    if (!fields.strName.empty())
        s += QuotedAttribute("alt", fields.strName);
    s += WriteAttributes(fields, IMAGE_ATTRIBUTES);
    if (fields.bNoBorder)
        s += " border=0";
    return s;
}

std::string CellAttributes(const CCellFields &fields)
{
    return WriteAttributes(fields, CELL_ATTRIBUTES);
}

std::string BodyAttributes(const CBodyFields &fields)
{
    return WriteAttributes(fields, BODY_ATTRIBUTES);
}

CBodyFields DefaultBodyFields()
{
    return {{false, "#ffffff"}, {false, ""}, {false, "#000000"}, {false, "#0000ff"}, {false, "#ff0000"},
            {false, "#ffff00"}};
}

std::string TableAttributes(const CTableFields &fields)
{
    return WriteAttributes(fields, TABLE_ATTRIBUTES);
}

std::string ImageOptionAttributes(const CImageOptionFields &fields)
{
    return WriteAttributes(fields, IMAGE_OPTION_ATTRIBUTES);
}

std::string AnchorAttributes(const CAnchorFields &fields)
{
    std::string s;
    if (fields.bLink) {
        switch (fields.eKind) {
        case ANCHOR_JUMP:
            s += QuotedAttribute("href", "#" + fields.strJump);
            break;
        case ANCHOR_BOOKMARK:
            s += QuotedAttribute("name", fields.strBookmark);
            break;
        default:
            s += QuotedAttribute("href", LinkTarget(fields.folder, fields.strFile));
            break;
        }
    }
    s += WriteAttributes(fields, ANCHOR_ATTRIBUTES);
    return s;
}

CAnchorFields TakeAnchorFields(CTagAttributeMap &attributes)
{
    CAnchorFields fields = TakeAttributes(attributes, ANCHOR_ATTRIBUTES);
    const std::string strHref = TakeAttribute(attributes, "href");
    std::string strName = TakeAttribute(attributes, "name");
    fields.bLink = !strHref.empty() || !strName.empty();
    if (!strHref.empty() && !strName.empty())
        attributes.emplace("name", std::move(strName));
    if (!strHref.empty() && strHref[0] == '#') {
        fields.eKind = ANCHOR_JUMP;
        fields.strJump = strHref.substr(1);
    } else if (!strHref.empty()) {
        fields.eKind = ANCHOR_FILE;
        fields.strFile = strHref;
    } else if (!strName.empty()) {
        fields.eKind = ANCHOR_BOOKMARK;
        fields.strBookmark = std::move(strName);
    }
    return fields;
}

std::string WithOtherAttributes(std::string strAttributes, std::string_view strOther)
{
    if (!strOther.empty()) {
        strAttributes += ' ';
        strAttributes += strOther;
    }
    return strAttributes;
}

CTagTexts FontTagTexts(std::string_view strAttributes, std::string_view strOther, const CFontStyles &styles)
{
    CTagTexts texts;
    texts.strOpen = "<font";
    texts.strOpen += strAttributes;
    if (!strOther.empty()) {
        texts.strOpen += ' ';
        texts.strOpen += strOther;
    }
    texts.strOpen += '>';
    texts.strClose = "</font>";
    const struct
    {
        bool bOn;
        const char *pszOpen;
        const char *pszClose;
    } aStyles[] = {
        {styles.bBold, "<b>", "</b>"},
        {styles.bItalic, "<i>", "</i>"},
        {styles.bUnderline, "<u>", "</u>"},
        {styles.bStrike, "<s>", "</s>"},
    };
    for (const auto &style : aStyles) {
        if (!style.bOn)
            continue;
        texts.strOpen += style.pszOpen;
        texts.strClose.insert(0, style.pszClose);
    }
    return texts;
}

CTagTexts HeadingTagTexts(std::string_view strSize, std::string_view strAlign)
{
    CTagTexts texts;
    texts.strOpen = "<h";
    texts.strOpen += strSize;
    if (!strAlign.empty())
        texts.strOpen += QuotedAttribute("align", strAlign);
    texts.strOpen += '>';
    texts.strClose = "</h";
    texts.strClose += strSize;
    texts.strClose += '>';
    return texts;
}

CTagTexts ParagraphTagTexts(std::string_view strAlign)
{
    return AttributeTagTexts("p", QuotedAttribute("align", strAlign));
}

CTagTexts BookmarkTagTexts(std::string_view strName)
{
    return AttributeTagTexts("a", QuotedAttribute("name", strName));
}

CTagTexts JumpTagTexts(std::string_view strName)
{
    std::string strTarget = "#";
    strTarget += strName;
    return AttributeTagTexts("a", QuotedAttribute("href", strTarget));
}

CTagTexts ClassTagTexts(std::string_view strTag, std::string_view strClass)
{
    return AttributeTagTexts(strTag, QuotedAttribute("class", strClass));
}

CTagTexts AttributeTagTexts(std::string_view strName, std::string_view strAttributes)
{
    CTagTexts texts;
    texts.strOpen.reserve(strName.size() + strAttributes.size() + 2);
    texts.strOpen.append(1, '<').append(strName).append(strAttributes).append(1, '>');
    texts.strClose.reserve(strName.size() + 3);
    texts.strClose.append("</").append(strName).append(1, '>');
    return texts;
}

std::string FormatHexColor(int nRed, int nGreen, int nBlue)
{
    char sz[8];
    std::snprintf(sz, sizeof sz, "#%02x%02x%02x", nRed & 0xFF, nGreen & 0xFF, nBlue & 0xFF);
    return sz;
}

bool ParseHexColor(std::string_view text, int &nRed, int &nGreen, int &nBlue)
{
    nRed = nGreen = nBlue = 0;
    if (text.size() != 7 || text[0] != '#')
        return false;
    int aDigits[6];
    for (int i = 0; i < 6; ++i) {
        aDigits[i] = HexDigit(text[static_cast<std::size_t>(i) + 1]);
        if (aDigits[i] < 0)
            return false;
    }
    nRed = aDigits[0] * 16 + aDigits[1];
    nGreen = aDigits[2] * 16 + aDigits[3];
    nBlue = aDigits[4] * 16 + aDigits[5];
    return true;
}

std::vector<std::string> SplitClassList(std::string_view strStored)
{
    std::vector<std::string> aEntries;
    while (!strStored.empty()) {
        const std::size_t nLF = strStored.find('\n');
        aEntries.emplace_back(strStored.substr(0, nLF));
        if (nLF == std::string_view::npos)
            break;
        strStored.remove_prefix(nLF + 1);
    }
    return aEntries;
}

std::string JoinClassList(std::string_view strTyped, const std::vector<std::string> &aEntries)
{
    std::string s(strTyped);
    s += '\n';
    int nKept = 0;
    for (const std::string &strEntry : aEntries) {
        if (nKept == CLASS_LIST_KEPT)
            break;
        if (strEntry.empty())
            continue;
        s += strEntry;
        s += '\n';
        ++nKept;
    }
    return s;
}
