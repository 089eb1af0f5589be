#include "view/editops.h"

#include "text/sjis.h"

#include <vector>

namespace {

constexpr std::string_view OPENING = "{<([";
constexpr std::string_view CLOSING = "}>)]";

// The positions of the single-byte characters ch1 and ch2 in the line.
void CollectBrackets(std::string_view line, char ch1, char ch2, std::vector<int> &out)
{
    out.clear();
    for (int i = 0; i < static_cast<int>(line.size());) {
        const int n = SjisCharLength(line.data() + i, line.size() - static_cast<std::size_t>(i));
        if (n == 1 && (line[static_cast<std::size_t>(i)] == ch1 || line[static_cast<std::size_t>(i)] == ch2))
            out.push_back(i);
        i += n;
    }
}

bool IsSingleByteAt(const CCrystalTextBuffer &buffer, int nLine, int nPos)
{
    return !buffer.IsLeadByteAt(nLine, nPos) && !buffer.IsTrailByteAt(nLine, nPos);
}

} // namespace

bool IsOpeningBracket(char ch)
{
    return ch != '\0' && OPENING.find(ch) != std::string_view::npos;
}

bool IsClosingBracket(char ch)
{
    return ch != '\0' && CLOSING.find(ch) != std::string_view::npos;
}

bool FindMatchingBracket(const CCrystalTextBuffer &buffer, CPoint ptCaret, CBracketMatch &match)
{
    if (ptCaret.y < 0 || ptCaret.y >= buffer.GetLineCount())
        return false;
    const std::string_view caretLine = buffer.GetLine(ptCaret.y);
    const int nLength = static_cast<int>(caretLine.size());

    auto bracketAt = [&](int x) {
        return x >= 0 && x < nLength && IsSingleByteAt(buffer, ptCaret.y, x)
               && (IsOpeningBracket(caretLine[static_cast<std::size_t>(x)])
                   || IsClosingBracket(caretLine[static_cast<std::size_t>(x)]));
    };
    int x = ptCaret.x;
    match.bCaretAfter = false;
    if (!bracketAt(x)) {
        if (x <= 0 || !bracketAt(x - 1))
            return false;
        --x;
        match.bCaretAfter = true;
    }
    const char ch = caretLine[static_cast<std::size_t>(x)];
    match.ptBracket = CPoint(x, ptCaret.y);
    match.bForward = IsOpeningBracket(ch);
    const std::size_t nKind = match.bForward ? OPENING.find(ch) : CLOSING.find(ch);
    if (nKind >= OPENING.size())
        return false;
    const char chOpen = OPENING[nKind];
    const char chClose = CLOSING[nKind];

    int nDepth = 0;
    std::vector<int> brackets;
    if (match.bForward) {
        for (int nLine = ptCaret.y; nLine < buffer.GetLineCount(); ++nLine) {
            CollectBrackets(buffer.GetLine(nLine), chOpen, chClose, brackets);
            for (int i : brackets) {
                if (nLine == ptCaret.y && i <= x)
                    continue;
                const char b = buffer.GetLine(nLine)[static_cast<std::size_t>(i)];
                nDepth += b == chOpen ? 1 : -1;
                if (nDepth < 0) {
                    match.ptMatch = CPoint(i, nLine);
                    return true;
                }
            }
        }
    } else {
        for (int nLine = ptCaret.y; nLine >= 0; --nLine) {
            CollectBrackets(buffer.GetLine(nLine), chOpen, chClose, brackets);
            for (auto it = brackets.rbegin(); it != brackets.rend(); ++it) {
                const int i = *it;
                if (nLine == ptCaret.y && i >= x)
                    continue;
                const char b = buffer.GetLine(nLine)[static_cast<std::size_t>(i)];
                nDepth += b == chClose ? 1 : -1;
                if (nDepth < 0) {
                    match.ptMatch = CPoint(i, nLine);
                    return true;
                }
            }
        }
    }
    return false;
}

void IndentLines(std::vector<std::string> &aLines)
{
    for (std::size_t i = 0; i < aLines.size(); ++i)
        if (i + 1 < aLines.size() || !aLines[i].empty())
            aLines[i].insert(0, 1, '\t');
}

std::string_view WithoutIndentStep(std::string_view text, int nTabSize)
{
    if (!text.empty() && text[0] == '\t')
        return text.substr(1);
    const std::size_t nMax = nTabSize > 0 ? static_cast<std::size_t>(nTabSize) : 1;
    std::size_t n = 0;
    while (n < nMax && n < text.size() && text[n] == ' ')
        ++n;
    return text.substr(n);
}

void OutdentLines(std::vector<std::string> &aLines, int nTabSize)
{
    for (std::string &line : aLines)
        line = std::string(WithoutIndentStep(line, nTabSize));
}

std::string_view LeadingBlanks(std::string_view line)
{
    std::size_t n = 0;
    while (n < line.size() && (line[n] == ' ' || line[n] == '\t'))
        ++n;
    return line.substr(0, n);
}

std::string_view CharacterAt(std::string_view line, int x)
{
    if (x < 0 || x >= static_cast<int>(line.size()))
        return std::string_view();
    const int n = SjisCharLength(line.data() + x, line.size() - static_cast<std::size_t>(x));
    return line.substr(static_cast<std::size_t>(x), static_cast<std::size_t>(n));
}

std::string CharCodeText(std::string_view chars)
{
    static const char HEX[] = "0123456789ABCDEF";
    std::string s;
    for (char c : chars) {
        const auto b = static_cast<unsigned char>(c);
        s += "\\x";
        if (b >= 16)
            s += HEX[b >> 4];
        s += HEX[b & 15];
    }
    return s;
}
