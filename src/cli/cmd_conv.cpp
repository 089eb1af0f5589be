// conv: the edit menu's text conversions from the command line. Standard input
// is taken as a selection (line breaks as they are; for 1005 and 1006 whole
// lines from a line start) and the text that command ID would put in its
// place is written to standard output. Unknown ids and bad arguments end with
// status 2 and one line on standard error.
#include "cli/cli.h"
#include "html/htmlgen.h"
#include "html/listbuild.h"
#include "html/tagcase.h"
#include "html/textconv.h"
#include "res/commands.h"
#include "syntax/viewtype.h"
#include "text/nkf.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string_view>

namespace {

// Converts input with the arguments that follow the id. False, with a
// one-line reason in strError, when they are not what the command takes.
using ConvFn = bool (*)(const CliArgs &args, std::string_view input, std::string &strOut, std::string &strError);

struct CConvCommand
{
    int nID;
    const char *pszArgs;  // for the help text
    const char *pszWhat;
    ConvFn pfnConvert;
    // The command calls the kanji converter library and cannot run without it.
    bool bNeedsConverter = false;
};

// A whole decimal number from nMin to nMax.
bool ParseNumber(const std::string &str, int nMin, int nMax, int &nValue)
{
    const char *pEnd = str.data() + str.size();
    const auto [ptr, ec] = std::from_chars(str.data(), pEnd, nValue);
    return !str.empty() && ec == std::errc() && ptr == pEnd && nValue >= nMin && nValue <= nMax;
}

// An optional trailing "0" or "1".
bool ParseFlag(const CliArgs &args, std::size_t nIndex, bool &bFlag, std::string &strError)
{
    bFlag = false;
    if (args.size() <= nIndex)
        return true;
    if (args[nIndex] != "0" && args[nIndex] != "1") {
        strError = "the flag must be 0 or 1, not \"" + args[nIndex] + "\"";
        return false;
    }
    bFlag = args[nIndex] == "1";
    return true;
}

bool CheckArgCount(const CliArgs &args, std::size_t nMin, std::size_t nMax, std::string &strError)
{
    if (args.size() >= nMin && args.size() <= nMax)
        return true;
    strError = nMax == 0 ? "takes no arguments" : "wrong number of arguments";
    return false;
}

template <std::string (*Convert)(std::string_view)>
bool NoArgs(const CliArgs &args, std::string_view input, std::string &strOut, std::string &strError)
{
    if (!CheckArgCount(args, 0, 0, strError))
        return false;
    strOut = Convert(input);
    return true;
}

bool TabsToBlanksArgs(const CliArgs &args, std::string_view input, std::string &strOut, std::string &strError)
{
    int nWidth = 0;
    if (!CheckArgCount(args, 1, 1, strError))
        return false;
    if (!ParseNumber(args[0], 0, 99, nWidth)) {
        strError = "TABWIDTH must be a number from 0 to 99";
        return false;
    }
    strOut = TabsToBlanks(input, nWidth);
    return true;
}

bool LinePrefixArgs(const CliArgs &args, std::string_view input, std::string &strOut, std::string &strError)
{
    bool bBlanksFirst = false;
    if (!CheckArgCount(args, 1, 2, strError) || !ParseFlag(args, 1, bBlanksFirst, strError))
        return false;
    strOut = DeleteLinePrefix(input, args[0], bBlanksFirst);
    return true;
}

bool BreakLinesArgs(const CliArgs &args, std::string_view input, std::string &strOut, std::string &strError)
{
    int nWidth = 0;
    bool bKinsoku = false;
    if (!CheckArgCount(args, 1, 2, strError) || !ParseFlag(args, 1, bKinsoku, strError))
        return false;
    if (!ParseNumber(args[0], 1, 10000, nWidth)) {
        strError = "N must be a number from 1 to 10000";
        return false;
    }
    strOut = BreakLinesAtWidth(input, nWidth, bKinsoku);
    return true;
}

bool TagCaseArgs(const CliArgs &args, std::string_view input, std::string &strOut, std::string &strError)
{
    if (!CheckArgCount(args, 1, 1, strError))
        return false;
    if (args[0] != "0" && args[0] != "1") {
        strError = "STATE must be 0 or 1, not \"" + args[0] + "\"";
        return false;
    }
    strOut = TagCaseB(input, args[0] == "1");
    return true;
}

bool VerticalTableArgs(const CliArgs &args, std::string_view input, std::string &strOut, std::string &strError)
{
    int nRows = 0;
    if (!CheckArgCount(args, 0, 1, strError))
        return false;
    if (!args.empty() && !ParseNumber(args[0], 1, 1000, nRows)) {
        strError = "ROWS must be a number from 1 to 1000";
        return false;
    }
    strOut = BuildVerticalTable(input, nRows);
    return true;
}

bool GradationArgs(const CliArgs &args, std::string_view input, std::string &strOut, std::string &strError)
{
    const bool bRainbow = !args.empty() && args[0] == "rainbow";
    const std::size_t nColors = bRainbow ? 1 : 2;
    bool bUpper = false;
    if (!CheckArgCount(args, nColors, nColors + 1, strError) || !ParseFlag(args, nColors, bUpper, strError))
        return false;
    CGradColor crFrom;
    CGradColor crTo;
    if (!bRainbow && (!ParseHtmlColor(args[0], crFrom) || !ParseHtmlColor(args[1], crTo)
                      || args[0][0] != '#' || args[1][0] != '#')) {
        strError = "FROM and TO must be colours written #rrggbb";
        return false;
    }
    strOut = BuildGradation(input, crFrom, crTo, bRainbow, bUpper);
    return true;
}

bool TableToCsvArgs(const CliArgs &args, std::string_view input, std::string &strOut, std::string &strError)
{
    bool bErase = false;
    if (!CheckArgCount(args, 1, 2, strError) || !ParseFlag(args, 1, bErase, strError))
        return false;
    static const char *const SEPARATORS[] = {"comma", "tab", "blank"};
    int nSeparator = -1;
    for (int i = 0; i < 3; ++i) {
        if (args[0] == SEPARATORS[i] || args[0] == std::to_string(i))
            nSeparator = i;
    }
    if (nSeparator < 0) {
        strError = "SEP must be comma, tab or blank (or 0, 1, 2)";
        return false;
    }
    strOut = TableToSeparatedValues(input, nSeparator, bErase);
    return true;
}

bool CopyAsHtmlArgs(const CliArgs &args, std::string_view input, std::string &strOut, std::string &strError)
{
    if (!CheckArgCount(args, 1, 1, strError))
        return false;
    static const struct
    {
        const char *pszName;
        int nViewType;
    } TYPES[] = {
        {"cpp", VIEWTYPE_CPP},     {"vb", VIEWTYPE_VB},         {"html", VIEWTYPE_HTML},
        {"htmlsimple", VIEWTYPE_HTML_SIMPLE},                   {"plain", VIEWTYPE_PLAIN},
        {"perl", VIEWTYPE_PERL},   {"pascal", VIEWTYPE_PASCAL}, {"standard", VIEWTYPE_STANDARD},
    };
    for (const auto &type : TYPES) {
        if (args[0] == type.pszName) {
            strOut = BuildCopyAsHtmlOfText(input, type.nViewType);
            return true;
        }
    }
    strError = "TYPE must be one of cpp, vb, html, htmlsimple, plain, perl, pascal, standard";
    return false;
}

std::string FullSpacesOrSame(std::string_view text)
{
    std::string out;
    return FullSpacesToBlanks(text, out) ? out : std::string(text);
}

// STATE, the tag case: 0 as written, 1 upper case. Left out it is 0.
bool ParseState(const CliArgs &args, std::size_t nIndex, bool &bUpper, std::string &strError)
{
    bUpper = false;
    if (args.size() <= nIndex)
        return true;
    if (args[nIndex] != "0" && args[nIndex] != "1") {
        strError = "STATE must be 0 or 1, not \"" + args[nIndex] + "\"";
        return false;
    }
    bUpper = args[nIndex] == "1";
    return true;
}

// A list made of the selection; with nothing selected the command puts the
// opening and closing texts round the caret, and that is what is written.
std::string ListText(std::string_view input, const CListStyle &style, bool bUpper)
{
    if (!input.empty())
        return BuildList(input, style, bUpper);
    const CTagTexts texts = ListTagTexts(style, bUpper);
    return texts.strOpen + texts.strClose;
}

bool IndentListArgs(const CliArgs &args, std::string_view input, std::string &strOut, std::string &strError)
{
    bool bUpper = false;
    if (!CheckArgCount(args, 0, 1, strError) || !ParseState(args, 0, bUpper, strError))
        return false;
    strOut = ListText(input, {LISTKIND_INDENT, "", 1}, bUpper);
    return true;
}

bool NumberedListArgs(const CliArgs &args, std::string_view input, std::string &strOut, std::string &strError)
{
    bool bUpper = false;
    int nStart = 0;
    if (!CheckArgCount(args, 2, 3, strError) || !ParseState(args, 2, bUpper, strError))
        return false;
    if (args[0] != "1" && args[0] != "A" && args[0] != "a" && args[0] != "I" && args[0] != "i") {
        strError = "TYPE must be one of 1 A a I i, not \"" + args[0] + "\"";
        return false;
    }
    if (!ParseNumber(args[1], 0, 32767, nStart)) {
        strError = "START must be a number from 0 to 32767";
        return false;
    }
    strOut = ListText(input, {LISTKIND_NUMBERED, args[0], nStart}, bUpper);
    return true;
}

bool BulletListArgs(const CliArgs &args, std::string_view input, std::string &strOut, std::string &strError)
{
    bool bUpper = false;
    if (!CheckArgCount(args, 1, 2, strError) || !ParseState(args, 1, bUpper, strError))
        return false;
    if (args[0] != "disc" && args[0] != "circle" && args[0] != "square") {
        strError = "TYPE must be disc, circle or square, not \"" + args[0] + "\"";
        return false;
    }
    strOut = ListText(input, {LISTKIND_BULLET, args[0], 1}, bUpper);
    return true;
}

bool AutoTableArgs(const CliArgs &args, std::string_view input, std::string &strOut, std::string &strError)
{
    bool bUpper = false;
    int nSep = 0;
    if (!CheckArgCount(args, 2, 3, strError) || !ParseState(args, 2, bUpper, strError))
        return false;
    if (args[0] != "auto") {
        strError = "only \"auto\" is scripted, not \"" + args[0] + "\"";
        return false;
    }
    if (!ParseNumber(args[1], 0, 2, nSep)) {
        strError = "SEP must be 0 (comma), 1 (tab) or 2 (blank)";
        return false;
    }
    strOut = AutoTable(input, nSep, bUpper);
    return true;
}

const CConvCommand CONV_COMMANDS[] = {
    {ID_TABS_TO_SPACES, "TABWIDTH", "every tab to TABWIDTH (0-99) blanks", TabsToBlanksArgs},
    {ID_DELETE_LEADING_BLANKS, "", "leading blanks and tabs of each line removed", NoArgs<DeleteLeadingBlanks>},
    {ID_DELETE_LEADING_COMMENT, "PREFIX [1]",
     "PREFIX (Shift-JIS bytes) removed at each line start behind its blanks; 1: blanks removed first",
     LinePrefixArgs},
    {ID_DELETE_ALL_BLANKS, "", "every blank, tab, CR and LF removed", NoArgs<DeleteAllBlanks>},
    {ID_HANKANA_TO_ZENKANA, "", "half-width katakana to full-width", NoArgs<HalfKanaToFull>, true},
    {ID_HANKAKU_TO_ZENKAKU, "", "half-width katakana and ASCII to full-width", NoArgs<HalfWidthToFull>, true},
    {ID_ZENKAKU_ALNUM_TO_HANKAKU, "", "full-width letters and digits to half-width", NoArgs<FullAlnumToHalf>},
    {ID_ZENKAKU_SPACE_TO_HANKAKU, "", "full-width spaces to two blanks", NoArgs<FullSpacesOrSame>},
    {ID_TO_LOWER, "", "ASCII letters to lower case", NoArgs<LowerCaseText>},
    {ID_TO_UPPER, "", "ASCII letters to upper case", NoArgs<UpperCaseText>},
    {ID_REVERSE_CHARS, "", "characters in reverse order", NoArgs<ReverseCharacters>},
    {ID_LINE_ENDS_TO_CRLF, "", "lone CR and lone LF to CR LF", NoArgs<LineBreaksToCrLf>},
    {ID_DELETE_EMPTY_LINES, "", "empty lines removed", NoArgs<DeleteEmptyLines>},
    {ID_BREAK_LINES_AT_WIDTH, "N [1]", "lines broken at N (1-10000) full-width characters; 1: kinsoku rules",
     BreakLinesArgs},
    {ID_REVERSE_LINES, "", "lines in reverse order", NoArgs<ReverseLines>},
    {ID_HTML_ESCAPE, "", "\" & < > to &QUOT; &AMP; &LT; &GT;", NoArgs<EscapeHtmlSpecials>},
    {ID_HTML_UNESCAPE, "", "&QUOT; &AMP; &LT; &GT; (any case) back to \" & < >", NoArgs<UnescapeHtmlSpecials>},
    {ID_HTML_FORM_DECODE, "", "form data decoded, one field a line", NoArgs<DecodeFormData>},
    {ID_WEB_ERASE_TAGS, "", "every tag from \"<\" through \">\" removed (a \"<\" with no \">\": to the end)",
     NoArgs<EraseTags>},
    {ID_WEB_TAG_CASE, "STATE",
     "tags in lower (STATE 0) or upper case (1); quoted values, comments and text unchanged", TagCaseArgs},
    {ID_WEB_KEEP_ONLY_TAGS, "", "only the tags and the CR and LF bytes kept", NoArgs<KeepOnlyTags>},
    {ID_WEB_TABLE, "auto SEP [STATE]",
     "a table, a row a line, a cell between separators SEP (0 comma, 1 tab, 2 blank)", AutoTableArgs},
    {ID_WEB_INDENT_LIST, "[STATE]", "an indent list: the first line the term, the others its description",
     IndentListArgs},
    {ID_WEB_NUMBERED_LIST, "TYPE START [STATE]", "a numbered list (TYPE 1 A a I i), a line an item",
     NumberedListArgs},
    {ID_WEB_BULLET_LIST, "TYPE [STATE]", "a bulleted list (TYPE disc circle square), a line an item",
     BulletListArgs},
    {ID_VERTICAL_SIMPLE, "", "vertical writing in a <pre> block, the first line rightmost",
     NoArgs<BuildVerticalSimple>, true},
    {ID_VERTICAL_TABLE, "[ROWS]",
     "vertical writing, one table cell per line; ROWS (1-1000): characters per column", VerticalTableArgs,
     true},
    {ID_TEXT_GRADATION, "FROM TO [STATE] | rainbow [STATE]",
     "each character in a <font> of a colour going from FROM to TO (#rrggbb) or through the rainbow; "
     "STATE 1: the tags in upper case",
     GradationArgs},
    {ID_TABLE_TO_CSV, "SEP [1]",
     "table rows to lines of cells separated by SEP (comma, tab or blank); 1: every other tag dropped",
     TableToCsvArgs},
    {ID_COPY_AS_HTML, "TYPE",
     "the whole input as copy as HTML puts it on the clipboard, coloured as view type TYPE (cpp, vb, html, "
     "htmlsimple, plain, perl, pascal, standard) with the default colours",
     CopyAsHtmlArgs},
};

const CConvCommand *FindConvCommand(std::string_view id)
{
    int nID = 0;
    const auto [ptr, ec] = std::from_chars(id.data(), id.data() + id.size(), nID);
    if (id.empty() || ec != std::errc() || ptr != id.data() + id.size())
        return nullptr;
    for (const CConvCommand &cmd : CONV_COMMANDS) {
        if (cmd.nID == nID)
            return &cmd;
    }
    return nullptr;
}

int Conv(const CliArgs &args)
{
    if (args.empty())
        return CliFail("conv: a command id is needed (see wrenpad-tool --help)", 2);
    const CConvCommand *pCommand = FindConvCommand(args[0]);
    if (!pCommand)
        return CliFail("conv: unknown command id \"" + args[0] + "\"", 2);
    if (pCommand->bNeedsConverter && !NkfLibrary().IsLoaded())
        return CliFail("conv: the kanji converter is not available (glibc iconv lacks CP932 or EUC-JP-MS)");
    std::string input;
    if (!CliReadStandardInput(input))
        return CliFail("conv: cannot read standard input");
    std::string out;
    std::string strError;
    if (!pCommand->pfnConvert(CliArgs(args.begin() + 1, args.end()), input, out, strError))
        return CliFail("conv " + args[0] + ": " + strError, 2);
    if (!CliWriteOut(out))
        return CliFail("cannot write output");
    return 0;
}

const char *ConvUsage()
{
    static const std::string strUsage = [] {
        std::string str = "ID [ARG...]\n"
                          "      reads Shift-JIS text on standard input and writes the text with which\n"
                          "      command ID would replace a selection holding it (an empty input\n"
                          "      is no selection). STATE is the tag case: 0 (the default) as written,\n"
                          "      1 upper case outside quoted values:";
        for (const CConvCommand &cmd : CONV_COMMANDS) {
            std::string strHead = std::to_string(cmd.nID);
            if (*cmd.pszArgs)
                strHead += std::string(" ") + cmd.pszArgs;
            strHead.resize(std::max<std::size_t>(strHead.size() + 1, 18), ' ');
            str += "\n        " + strHead + cmd.pszWhat;
        }
        return str;
    }();
    return strUsage.c_str();
}

const CCliRegistrar regConv("conv", ConvUsage(), Conv);

} // namespace
