// A table's markup turned into lines of separated values.
#include "html/htmlgen.h"

#include "text/sjis.h"

namespace {

bool IsAsciiAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The name of a tag (the text between "<" and ">"), lower-cased, and whether
// it closes an element.
struct CTagName
{
    std::string strName;
    bool bClosing = false;
};

CTagName TagNameOf(std::string_view inner)
{
    CTagName tag;
    std::size_t i = 0;
    if (i < inner.size() && inner[i] == '/') {
        tag.bClosing = true;
        ++i;
    }
    for (; i < inner.size() && IsAsciiAlpha(inner[i]); ++i)
        tag.strName += LowerAscii(inner[i]);
    // "<tdx>" is no cell: the name must end where the letters do.
    if (i < inner.size() && !(inner[i] == ' ' || inner[i] == '\t' || inner[i] == '\r' || inner[i] == '\n'))
        tag.strName.clear();
    return tag;
}

bool IsComment(std::string_view inner)
{
    return inner.size() >= 5 && inner.substr(0, 3) == "!--" && inner.substr(inner.size() - 2) == "--";
}

} // namespace

std::string TableToSeparatedValues(std::string_view text, int nSeparator, bool bEraseOtherTags)
{
    const char chSeparator = nSeparator == TABLESEP_TAB ? '\t' : nSeparator == TABLESEP_BLANK ? ' ' : ',';
    std::string out;
    out.reserve(text.size());
    int nRowsInTable = 0;
    int nCellsInRow = 0;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c != '<') {
            const int nLength = SjisCharLength(text.data() + i, text.size() - i);
            if (!(nLength == 1 && (c == ' ' || c == '\t' || c == '\r' || c == '\n')))
                out.append(text, i, static_cast<std::size_t>(nLength));
            i += static_cast<std::size_t>(nLength);
            continue;
        }
        // '>' is never the second byte of a double-byte character.
        const std::size_t nClose = text.find('>', i + 1);
        const std::size_t nEnd = nClose == std::string_view::npos ? text.size() : nClose + 1;
        const std::string_view tagText = text.substr(i, nEnd - i);
        const std::string_view inner =
            text.substr(i + 1, (nClose == std::string_view::npos ? text.size() : nClose) - i - 1);
        i = nEnd;

        const CTagName tag = TagNameOf(inner);
        if (tag.strName == "tr" || tag.strName == "td" || tag.strName == "th") {
            if (tag.bClosing)
                continue;
            if (tag.strName == "tr") {
                if (nRowsInTable++ > 0)
                    out += "\r\n";
                nCellsInRow = 0;
            } else if (nCellsInRow++ > 0) {
                out += chSeparator;
            }
        } else if (tag.strName == "table") {
            out += "\r\n";
            if (!tag.bClosing)
                nRowsInTable = 0;
        } else if (!IsComment(inner) && !bEraseOtherTags) {
            out += tagText;
        }
    }
    return out;
}
