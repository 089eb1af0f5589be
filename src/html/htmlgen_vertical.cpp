// Vertical writing: columns of full-width characters read from the right.
#include "html/htmlgen.h"

#include "html/textconv.h"
#include "text/sjis.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::string_view FW_SPACE = "\x81\x40";

// How a punctuation character that cannot stand upright is written in a
// column: its replacement, and for the simple form where the replacement sits
// in the cell (a blank before or behind it).
enum ESubstKind
{
    SUBST_BEFORE_BLANK,  // replacement, then the blank
    SUBST_AFTER_BLANK,   // the blank, then the replacement
    SUBST_PULL_LEFT,     // written one byte to the left, with two blanks behind
};

struct CVerticalSubst
{
    unsigned char byTrail;      // the second byte of the source (the first is 0x81)
    const char *pszWith;        // the replacement character
    bool bSpaceFirst;           // table form: a full-width space before it
    bool bSpaceAfter;           // table form: a full-width space after it
    ESubstKind kind;            // simple form
};

constexpr CVerticalSubst VERTICAL_SUBST[] = {
    // ＜ （ 〔 ［ ｛ 〈 《 open upwards, ＞ ） 〕 ］ ｝ 〉 》 downwards.
    {0x83, "\x81\xC8", false, false, SUBST_BEFORE_BLANK}, {0x69, "\x81\xC8", false, false, SUBST_BEFORE_BLANK},
    {0x6B, "\x81\xC8", false, false, SUBST_BEFORE_BLANK}, {0x6D, "\x81\xC8", false, false, SUBST_BEFORE_BLANK},
    {0x6F, "\x81\xC8", false, false, SUBST_BEFORE_BLANK}, {0x71, "\x81\xC8", false, false, SUBST_BEFORE_BLANK},
    {0x73, "\x81\xC8", false, false, SUBST_BEFORE_BLANK}, {0x84, "\x81\xC9", false, false, SUBST_BEFORE_BLANK},
    {0x6A, "\x81\xC9", false, false, SUBST_BEFORE_BLANK}, {0x6C, "\x81\xC9", false, false, SUBST_BEFORE_BLANK},
    {0x6E, "\x81\xC9", false, false, SUBST_BEFORE_BLANK}, {0x70, "\x81\xC9", false, false, SUBST_BEFORE_BLANK},
    {0x72, "\x81\xC9", false, false, SUBST_BEFORE_BLANK}, {0x74, "\x81\xC9", false, false, SUBST_BEFORE_BLANK},
    // 、 ， become ｀, 。 becomes °, ． becomes ゜, each in the upper right.
    {0x41, "\x81\x4D", true, false, SUBST_AFTER_BLANK}, {0x43, "\x81\x4D", true, false, SUBST_AFTER_BLANK},
    {0x42, "\x81\x8B", true, false, SUBST_AFTER_BLANK}, {0x44, "\x81\x4B", true, false, SUBST_AFTER_BLANK},
    // ： becomes ‥, ー and － a vertical rule.
    {0x46, "\x81\x64", false, false, SUBST_BEFORE_BLANK}, {0x5B, "\x84\xA0", false, false, SUBST_BEFORE_BLANK},
    {0x7C, "\x84\xA0", false, false, SUBST_BEFORE_BLANK},
    // 「 『 【 become ┐, 」 』 】 become └.
    {0x75, "\x84\xA2", true, false, SUBST_AFTER_BLANK}, {0x77, "\x84\xA2", true, false, SUBST_AFTER_BLANK},
    {0x79, "\x84\xA2", true, false, SUBST_AFTER_BLANK}, {0x76, "\x84\xA4", false, true, SUBST_PULL_LEFT},
    {0x78, "\x84\xA4", false, true, SUBST_PULL_LEFT}, {0x7A, "\x84\xA4", false, true, SUBST_PULL_LEFT},
};

const CVerticalSubst *FindSubst(std::string_view ch)
{
    if (ch.size() != 2 || ch[0] != '\x81')
        return nullptr;
    for (const CVerticalSubst &s : VERTICAL_SUBST) {
        if (static_cast<unsigned char>(ch[1]) == s.byTrail)
            return &s;
    }
    return nullptr;
}

// The text widened and split into lines of characters. Single bytes that
// remain after widening have no full-width form and are dropped, except the
// line feed that separates lines and, when bKeepTabCr, tab and CR. A final
// line break opens no further (empty) line.
std::vector<std::vector<std::string_view>> WideCharacterLines(const std::string &wide, bool bKeepTabCr)
{
    std::vector<std::vector<std::string_view>> aLines(1);
    for (std::size_t i = 0; i < wide.size();) {
        const int nLength = SjisCharLength(wide.data() + i, wide.size() - i);
        const std::string_view ch(wide.data() + i, static_cast<std::size_t>(nLength));
        i += static_cast<std::size_t>(nLength);
        if (nLength == 2) {
            aLines.back().push_back(ch);
        } else if (ch[0] == '\n') {
            aLines.emplace_back();
        } else if (bKeepTabCr && (ch[0] == '\t' || ch[0] == '\r')) {
            aLines.back().push_back(ch);
        }
    }
    if (aLines.size() > 1 && aLines.back().empty())
        aLines.pop_back();
    return aLines;
}

void AppendSimpleCell(std::string &out, std::string_view ch)
{
    const CVerticalSubst *pSubst = FindSubst(ch);
    if (pSubst == nullptr) {
        out += ch;
        out += ' ';
        return;
    }
    switch (pSubst->kind) {
    case SUBST_BEFORE_BLANK:
        out += pSubst->pszWith;
        out += ' ';
        break;
    case SUBST_AFTER_BLANK:
        out += ' ';
        out += pSubst->pszWith;
        break;
    case SUBST_PULL_LEFT:
        // Over the blank behind the previous cell (each row starts with a
        // blank, so there always is one), so the corner hugs the text above.
        out.pop_back();
        out += pSubst->pszWith;
        out += "  ";
        break;
    }
}

constexpr std::string_view CELL_OPEN = "<td align=\"center\" valign=\"top\"><font size=3><nobr><tt>\x81\x40\x81\x40<br>";
constexpr std::string_view CELL_CLOSE = "</tt></nobr></font></td>\r\n";

// One character of a table cell: tab and CR as they are, every other one
// (replaced where it has no upright form) followed by a line-break tag.
// Returns whether it takes a row.
bool AppendTableChar(std::string &out, std::string_view ch)
{
    if (ch.size() == 1) {
        out += ch;
        return false;
    }
    if (const CVerticalSubst *pSubst = FindSubst(ch)) {
        if (pSubst->bSpaceFirst)
            out += FW_SPACE;
        out += pSubst->pszWith;
        if (pSubst->bSpaceAfter)
            out += FW_SPACE;
    } else {
        out += ch;
    }
    out += "<br>";
    return true;
}

} // namespace

std::string BuildVerticalSimple(std::string_view text)
{
    const std::string wide = HalfWidthToFull(text);
    const auto aLines = WideCharacterLines(wide, false);
    std::size_t nRows = 0;
    for (const auto &line : aLines)
        nRows = std::max(nRows, line.size());
    if (nRows == 0)
        return {};

    std::string out = "\r\n<tt><pre>\r\n";
    out.reserve(out.size() + nRows * (aLines.size() * 4 + 3) + 16);
    for (std::size_t nRow = 0; nRow < nRows; ++nRow) {
        out += ' ';
        for (auto it = aLines.rbegin(); it != aLines.rend(); ++it)
            AppendSimpleCell(out, nRow < it->size() ? (*it)[nRow] : FW_SPACE);
        out += "\r\n";
    }
    out += "</pre></tt>\r\n";
    return out;
}

std::string BuildVerticalTable(std::string_view text, int nRows)
{
    const std::string wide = HalfWidthToFull(ReverseLines(text));
    const auto aLines = WideCharacterLines(wide, true);
    bool bAnyChar = false;
    for (const auto &line : aLines) {
        for (const std::string_view ch : line)
            bAnyChar = bAnyChar || ch.size() == 2;
    }
    if (!bAnyChar)
        return {};

    std::string out = "<table cellpadding=0 cellspacing=10 border=0><!-- cellspacing\x93\x99\x82\xC5\x8D\x73"
                      "\x8A\xD4\x92\xB2\x90\xAE\x89\xC2 -->\r\n<tr>";
    for (const auto &line : aLines) {
        if (nRows <= 0) {
            out += CELL_OPEN;
            for (const std::string_view ch : line)
                AppendTableChar(out, ch);
            out += CELL_CLOSE;
            continue;
        }
        // Cut the line into columns of nRows characters; the columns are
        // written left to right while the line reads from the right, so its
        // last column comes first.
        std::vector<std::size_t> aStarts{0};
        int nInColumn = 0;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i].size() != 2)
                continue;
            if (nInColumn == nRows) {
                aStarts.push_back(i);
                nInColumn = 0;
            }
            ++nInColumn;
        }
        for (std::size_t k = aStarts.size(); k-- > 0;) {
            const std::size_t nEnd = k + 1 < aStarts.size() ? aStarts[k + 1] : line.size();
            out += CELL_OPEN;
            int nUsed = 0;
            for (std::size_t i = aStarts[k]; i < nEnd; ++i)
                nUsed += AppendTableChar(out, line[i]) ? 1 : 0;
            for (; nUsed < nRows; ++nUsed)
                AppendTableChar(out, FW_SPACE);
            out += CELL_CLOSE;
        }
    }
    out += "</tr>\r\n</table>";
    return out;
}
