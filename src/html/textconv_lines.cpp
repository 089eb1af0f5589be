// Line conversions: leading blanks and prefixes, line breaks, line order and
// breaking lines at a width.
#include "html/textconv.h"

#include "text/sjis.h"

#include <cstring>
#include <vector>

namespace {

inline bool IsBlankOrTab(char ch)
{
    return ch == ' ' || ch == '\t';
}

// Whether the len bytes from nPos (a character start) end on a character
// boundary, so that removing them never leaves half a character behind.
bool EndsOnCharBoundary(std::string_view text, std::size_t nPos, std::size_t nLength)
{
    const std::size_t nEnd = nPos + nLength;
    while (nPos < nEnd)
        nPos += static_cast<std::size_t>(SjisCharLength(text.data() + nPos, text.size() - nPos));
    return nPos == nEnd;
}

// The pieces of a text cut behind every LF (the last one may be empty).
std::vector<std::string_view> CutBehindLineFeeds(std::string_view text)
{
    std::vector<std::string_view> aPieces;
    std::size_t nStart = 0;
    for (;;) {
        const std::size_t nLF = text.find('\n', nStart);
        if (nLF == std::string_view::npos) {
            aPieces.push_back(text.substr(nStart));
            return aPieces;
        }
        aPieces.push_back(text.substr(nStart, nLF + 1 - nStart));
        nStart = nLF + 1;
    }
}

} // namespace

std::string DeleteLeadingBlanks(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        while (i < n && IsBlankOrTab(text[i]))
            ++i;
        const std::size_t nLF = text.find('\n', i);
        const std::size_t nNext = nLF == std::string_view::npos ? n : nLF + 1;
        out.append(text.substr(i, nNext - i));
        i = nNext;
    }
    return out;
}

std::string DeleteLinePrefix(std::string_view text, std::string_view prefix, bool bBlanksFirst)
{
    if (prefix.empty())
        return std::string(text);
    std::string strBlanksGone;
    if (bBlanksFirst) {
        strBlanksGone = DeleteLeadingBlanks(text);
        text = strBlanksGone;
    }
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        const std::size_t nLineStart = i;
        while (i < n && IsBlankOrTab(text[i]))
            ++i;
        out.append(text.substr(nLineStart, i - nLineStart));
        if (text.substr(i, prefix.size()) == prefix && EndsOnCharBoundary(text, i, prefix.size()))
            i += prefix.size();
        const std::size_t nLF = text.find('\n', i);
        const std::size_t nNext = nLF == std::string_view::npos ? n : nLF + 1;
        out.append(text.substr(i, nNext - i));
        i = nNext;
    }
    return out;
}

std::string LineBreaksToCrLf(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        const std::size_t nBreak = text.find_first_of("\r\n", i);
        if (nBreak == std::string_view::npos) {
            out.append(text.substr(i));
            break;
        }
        out.append(text.substr(i, nBreak - i));
        out += "\r\n";
        i = nBreak + (text[nBreak] == '\r' && nBreak + 1 < n && text[nBreak + 1] == '\n' ? 2 : 1);
    }
    return out;
}

std::string DeleteEmptyLines(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        const std::size_t nLF = text.find('\n', i);
        if (nLF == std::string_view::npos) {
            out.append(text.substr(i));
            break;
        }
        out.append(text.substr(i, nLF + 1 - i));
        i = nLF + 1;
        while (i < n && (text[i] == '\r' || text[i] == '\n'))
            ++i;
    }
    return out;
}

std::string ReverseLines(std::string_view text)
{
    const std::vector<std::string_view> aPieces = CutBehindLineFeeds(text);
    std::string out;
    out.reserve(text.size());
    if (text.empty() || text.back() == '\n') {
        // Every line carries its own line break along.
        for (std::size_t k = aPieces.size(); k-- > 0;)
            out.append(aPieces[k]);
        return out;
    }
    // The last line has no break to carry: the lines move, the breaks stay.
    const std::size_t m = aPieces.size();
    auto BreakOf = [](std::string_view piece) -> std::size_t {
        if (piece.empty() || piece.back() != '\n')
            return 0;
        return piece.size() >= 2 && piece[piece.size() - 2] == '\r' ? 2 : 1;
    };
    for (std::size_t k = 0; k < m; ++k) {
        const std::string_view line = aPieces[m - 1 - k];
        out.append(line.substr(0, line.size() - BreakOf(line)));
        const std::string_view place = aPieces[k];
        out.append(place.substr(place.size() - BreakOf(place)));
    }
    return out;
}

std::string BreakLinesAtWidth(std::string_view text, int nWidth, bool bKinsoku)
{
    if (nWidth < 1)
        return std::string(text);
    const std::size_t nMax = 2 * static_cast<std::size_t>(nWidth);
    std::string out;
    out.reserve(text.size() + 2 * (text.size() / nMax) + 16);
    const char *const p = text.data();
    const std::size_t n = text.size();
    std::size_t nCount = 0;  // bytes on the current output line
    std::size_t i = 0;
    while (i < n) {
        const char ch = p[i];
        if (ch == '\n' || ch == '\r') {
            out += ch;
            if (ch == '\n')
                nCount = 0;
            ++i;
            continue;
        }
        const std::size_t nLength = static_cast<std::size_t>(SjisCharLength(p + i, n - i));
        const std::string_view chars(p + i, nLength);
        if (nCount > 0 && nCount + nLength > nMax && !(bKinsoku && IsKinsokuClosing(chars))) {
            out += "\r\n";
            nCount = 0;
        }
        out.append(chars);
        nCount += nLength;
        i += nLength;
        if (bKinsoku && nCount + 2 >= nMax && i < n && p[i] != '\r' && p[i] != '\n'
            && IsKinsokuOpening(std::string_view(p + i, static_cast<std::size_t>(SjisCharLength(p + i, n - i))))) {
            out += "\r\n";
            nCount = 0;
        }
    }
    return out;
}

bool IsKinsokuClosing(std::string_view ch)
{
    if (ch.size() == 1)
        return std::strchr("\xA1\xA3\xA4\xA5\xDE\xDF!%),.:;?]}", ch[0]) != nullptr && ch[0] != '\0';
    // Every double-byte one is a symbol of the 0x81 row; the test first keeps
    // page layout, which asks about every character, quick on kanji and kana.
    if (ch.size() != 2 || ch[0] != '\x81')
        return false;
    // ｝］？；：．，）％！ヾヽ・ゞゝ゜゛〕】』」》〉々。、℃″′‰’°￠
    static constexpr unsigned short CLOSING[] = {
        0x8170, 0x816E, 0x8148, 0x8147, 0x8146, 0x8144, 0x8143, 0x816A, 0x8193, 0x8149, 0x8153,
        0x8152, 0x8145, 0x8155, 0x8154, 0x814B, 0x814A, 0x816C, 0x817A, 0x8178, 0x8176, 0x8174,
        0x8172, 0x8158, 0x8142, 0x8141, 0x818E, 0x818D, 0x818C, 0x81F1, 0x8166, 0x818B, 0x8191,
    };
    const unsigned short code = static_cast<unsigned short>((static_cast<unsigned char>(ch[0]) << 8)
                                                            | static_cast<unsigned char>(ch[1]));
    for (const unsigned short c : CLOSING) {
        if (c == code)
            return true;
    }
    return false;
}

bool IsKinsokuOpening(std::string_view ch)
{
    if (ch.size() == 1)
        return std::strchr("\xA2$([\\{", ch[0]) != nullptr && ch[0] != '\0';
    if (ch.size() != 2 || ch[0] != '\x81')
        return false;
    // ￥｛［（＄〔【『「《〈“‘￡￠
    static constexpr unsigned short OPENING[] = {
        0x818F, 0x816F, 0x816D, 0x8169, 0x8190, 0x816B, 0x8179, 0x8177,
        0x8175, 0x8173, 0x8171, 0x8167, 0x8165, 0x8192, 0x8191,
    };
    const unsigned short code = static_cast<unsigned short>((static_cast<unsigned char>(ch[0]) << 8)
                                                            | static_cast<unsigned char>(ch[1]));
    for (const unsigned short c : OPENING) {
        if (c == code)
            return true;
    }
    return false;
}
