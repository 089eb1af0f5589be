#include "html/tagcase.h"

#include "text/sjis.h"

#include <cstring>

namespace {

void ChangeCase(char *p, std::size_t n, bool bUpper)
{
    if (bUpper)
        SjisUpperAscii(p, n);
    else
        SjisLowerAscii(p, n);
}

// Rule A over [p, p + n), which starts on a character boundary. bInQuote
// carries an open quote from one call to the next.
void TagCaseAInPlace(char *p, std::size_t n, bool bUpper, bool &bInQuote)
{
    std::size_t i = 0;
    while (i < n) {
        const void *pQuote = std::memchr(p + i, '"', n - i);
        const std::size_t nQuote = pQuote ? static_cast<std::size_t>(static_cast<const char *>(pQuote) - p) : n;
        if (!bInQuote)
            ChangeCase(p + i, nQuote - i, bUpper);
        if (!pQuote)
            break;
        bInQuote = !bInQuote;
        i = nQuote + 1;
    }
}

// Rule B over one line; the state carries a tag (and a quote inside it) that
// goes on over the line break.
struct CTagCaseState
{
    bool bInTag = false;
    bool bInQuote = false;
};

void TagCaseBInPlace(char *p, std::size_t n, bool bUpper, CTagCaseState &state)
{
    std::size_t i = 0;
    while (i < n) {
        if (state.bInTag) {
            const void *pClose = std::memchr(p + i, '>', n - i);
            const std::size_t nEnd = pClose ? static_cast<std::size_t>(static_cast<const char *>(pClose) - p) : n;
            TagCaseAInPlace(p + i, nEnd - i, bUpper, state.bInQuote);
            if (!pClose)
                return;
            state = CTagCaseState();
            i = nEnd + 1;
            continue;
        }
        const void *pOpen = std::memchr(p + i, '<', n - i);
        if (!pOpen)
            return;
        i = static_cast<std::size_t>(static_cast<const char *>(pOpen) - p) + 1;
        // The rest of a comment is text: only a later "<" can start a tag.
        if (n - i >= 3 && std::memcmp(p + i, "!--", 3) == 0)
            continue;
        state.bInTag = true;
        state.bInQuote = false;
    }
}

// Both call fnKeep for each part of one line that stays; bInTag carries a tag
// that goes on over the line break.
template <typename Keep>
void EraseTagsInLine(std::string_view line, bool &bInTag, Keep fnKeep)
{
    std::size_t i = 0;
    while (i < line.size()) {
        if (bInTag) {
            const std::size_t nClose = line.find('>', i);
            if (nClose == std::string_view::npos)
                return;
            bInTag = false;
            i = nClose + 1;
            continue;
        }
        const std::size_t nOpen = line.find('<', i);
        fnKeep(line.substr(i, nOpen == std::string_view::npos ? std::string_view::npos : nOpen - i));
        if (nOpen == std::string_view::npos)
            return;
        bInTag = true;
        i = nOpen + 1;
    }
}

template <typename Keep>
void KeepTagsInLine(std::string_view line, bool &bInTag, Keep fnKeep)
{
    std::size_t i = 0;
    while (i < line.size()) {
        if (bInTag) {
            const std::size_t nClose = line.find('>', i);
            const std::size_t nEnd = nClose == std::string_view::npos ? line.size() : nClose + 1;
            fnKeep(line.substr(i, nEnd - i));
            bInTag = nClose == std::string_view::npos;
            i = nEnd;
            continue;
        }
        const std::size_t nOpen = line.find('<', i);
        const std::size_t nEnd = nOpen == std::string_view::npos ? line.size() : nOpen;
        for (std::size_t j = i; j < nEnd; ++j)
            if (line[j] == '\r' || line[j] == '\n')
                fnKeep(line.substr(j, 1));
        if (nOpen == std::string_view::npos)
            return;
        bInTag = true;
        i = nOpen;
    }
}

} // namespace

std::string TagCaseA(std::string_view text, bool bUpper)
{
    std::string strResult(text);
    bool bInQuote = false;
    TagCaseAInPlace(strResult.data(), strResult.size(), bUpper, bInQuote);
    return strResult;
}

std::string TagCaseB(std::string_view text, bool bUpper)
{
    std::string strResult(text);
    CTagCaseState state;
    TagCaseBInPlace(strResult.data(), strResult.size(), bUpper, state);
    return strResult;
}

void TagCaseB(std::vector<std::string> &aLines, bool bUpper)
{
    CTagCaseState state;
    for (std::string &strLine : aLines)
        TagCaseBInPlace(strLine.data(), strLine.size(), bUpper, state);
}

std::string EraseTags(std::string_view text)
{
    std::string strResult;
    bool bInTag = false;
    EraseTagsInLine(text, bInTag, [&strResult](std::string_view part) { strResult += part; });
    return strResult;
}

std::vector<std::string> EraseTags(const std::vector<std::string> &aLines)
{
    std::vector<std::string> aResult(1);
    bool bInTag = false;
    for (std::size_t i = 0; i < aLines.size(); ++i) {
        // A line break inside a tag is erased with it.
        if (i > 0 && !bInTag)
            aResult.emplace_back();
        EraseTagsInLine(aLines[i], bInTag, [&aResult](std::string_view part) { aResult.back() += part; });
    }
    return aResult;
}

std::string KeepOnlyTags(std::string_view text)
{
    std::string strResult;
    bool bInTag = false;
    KeepTagsInLine(text, bInTag, [&strResult](std::string_view part) { strResult += part; });
    return strResult;
}

std::vector<std::string> KeepOnlyTags(const std::vector<std::string> &aLines)
{
    std::vector<std::string> aResult;
    bool bInTag = false;
    for (const std::string &strLine : aLines) {
        aResult.emplace_back();
        KeepTagsInLine(strLine, bInTag, [&aResult](std::string_view part) { aResult.back() += part; });
    }
    if (aResult.empty())
        aResult.emplace_back();
    return aResult;
}
