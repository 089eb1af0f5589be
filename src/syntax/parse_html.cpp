// HTML: the detailed routine colours tag names, attribute names, values and
// numbers inside tags; the simple one only tells tags and comments from text.
//
// Both jump from one byte that matters to the next: outside tags only '<' and
// blanks do anything, inside values and comments only their end. Only the
// inside of a tag is walked character by character, for its words.
#include "syntax/keywords.h"
#include "syntax/parse.h"
#include "syntax/parsescan.h"

#include <array>

namespace {

enum : std::uint32_t
{
    HTML_TAG = 0x02,
    HTML_COMMENT = 0x04,
    HTML_DQ_VALUE = 0x08,
    HTML_SQ_VALUE = 0x10,
    HTML_LINE_MASK = 0x0F,  // a single-quoted value ends with its line
};

enum : std::uint32_t
{
    SIMPLE_COMMENT = 0x01,
    SIMPLE_STRING = 0x08,
    SIMPLE_TAG = 0x20,
    SIMPLE_LINE_MASK = 0x29,
};

bool IsHexDigit(unsigned char c)
{
    return CParseScan::IsAsciiDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f');
}

int HtmlBlockColor(std::uint32_t dwCookie)
{
    if (dwCookie & 0x05)
        return COLORINDEX_COMMENT;
    if (dwCookie & (HTML_DQ_VALUE | HTML_SQ_VALUE))
        return COLORINDEX_STRING;
    if (dwCookie & HTML_TAG)
        return COLORINDEX_PREPROCESSOR;
    return COLORINDEX_NORMALTEXT;
}

// What a byte is to the walk inside a tag.
enum EHtmlByte : unsigned char
{
    HB_DELIMITER,  // ends a word
    HB_WORD,       // an ASCII letter or digit, or '#'
    HB_LEAD,       // may begin a double-byte character
    HB_DOT,        // a word byte inside a number
    HB_QUOTE,      // begins a value
    HB_LT,         // may begin a comment
};

constexpr std::array<unsigned char, 256> MakeHtmlClasses()
{
    std::array<unsigned char, 256> a{};
    for (int c = 0; c < 256; ++c) {
        const auto b = static_cast<unsigned char>(c);
        if (CParseScan::IsAsciiAlnum(b) || b == '#')
            a[b] = HB_WORD;
        else if (IsSjisLeadByte(b))
            a[b] = HB_LEAD;
        else if (b == '.')
            a[b] = HB_DOT;
        else if (b == '"' || b == '\'')
            a[b] = HB_QUOTE;
        else if (b == '<')
            a[b] = HB_LT;
        else
            a[b] = HB_DELIMITER;
    }
    return a;
}

constexpr std::array<unsigned char, 256> s_aHtmlClass = MakeHtmlClasses();

template <typename Pred>
constexpr std::array<bool, 256> MakeStops(Pred pred)
{
    std::array<bool, 256> a{};
    for (int c = 0; c < 256; ++c)
        a[static_cast<std::size_t>(c)] = pred(static_cast<unsigned char>(c));
    return a;
}

// Outside tags, with blocks: a blank begins a run, '<' a tag.
constexpr std::array<bool, 256> s_abTextStops =
    MakeStops([](unsigned char c) { return c == '<' || CParseScan::IsBlank(c); });
// Inside a tag, without blocks: what changes the state.
constexpr std::array<bool, 256> s_abTagStops =
    MakeStops([](unsigned char c) { return c == '"' || c == '\'' || c == '<' || c == '>'; });

bool IsCommentOpenerAt(const CParseScan &scan, int nPos)
{
    return nPos + 3 < scan.Length() && scan.Byte(nPos) == '<' && scan.Byte(nPos + 1) == '!'
           && scan.Byte(nPos + 2) == '-' && scan.Byte(nPos + 3) == '-';
}

// The '>' of the "-->" that ends a comment, at or after nFrom; the line
// length if none. The dashes of "<!--" (opened at nCommentStart on this line,
// or -1) do not count: "<!-->" stays open.
int FindCommentEnd(const CParseScan &scan, int nFrom, int nCommentStart)
{
    for (int J = scan.Find(nFrom, '>'); J < scan.Length(); J = scan.Find(J + 1, '>')) {
        if (J >= 2 && scan.Byte(J - 1) == '-' && scan.Byte(J - 2) == '-'
            && (nCommentStart < 0 || J - 2 >= nCommentStart + 4))
            return J;
    }
    return scan.Length();
}

// One line of the detailed routine.
class CHtmlLine
{
public:
    CHtmlLine(CParseScan &scan, std::uint32_t dwCookie) : m_scan(scan), m_dwCookie(dwCookie) {}

    std::uint32_t Parse()
    {
        const int nLength = m_scan.Length();
        m_scan.AddBlock(0, HtmlBlockColor(m_dwCookie));
        for (int I = 0; I < nLength;) {
            if (m_dwCookie & (HTML_DQ_VALUE | HTML_SQ_VALUE | HTML_COMMENT))
                I = EndValueOrComment(I);
            else if (m_dwCookie & HTML_TAG)
                I = m_scan.HasBuffer() ? WalkTag(I) : SkipTag(I);
            else
                I = SkipText(I);
        }
        if (m_nWordBegin >= 0 && (m_dwCookie & HTML_TAG) && m_scan.HasBuffer())
            ColorWord(m_nWordBegin, nLength);
        return m_dwCookie & HTML_LINE_MASK;
    }

private:
    // Inside a value or a comment only its end matters. Returns where the
    // scan goes on.
    int EndValueOrComment(int I)
    {
        const int J = (m_dwCookie & (HTML_DQ_VALUE | HTML_SQ_VALUE))
                          ? m_scan.FindClosingQuote(I, (m_dwCookie & HTML_DQ_VALUE) ? '"' : '\'')
                          : FindCommentEnd(m_scan, I, m_nCommentStart);
        if (J >= m_scan.Length())
            return m_scan.Length();
        m_dwCookie &= ~std::uint32_t(HTML_DQ_VALUE | HTML_SQ_VALUE | HTML_COMMENT);
        m_scan.AddBlock(J + 1, HtmlBlockColor(m_dwCookie));
        return J + 1;
    }

    // Outside tags words are never tested: only blanks (each begins a run)
    // and '<' matter.
    int SkipText(int I)
    {
        for (;;) {
            const int J = m_scan.HasBuffer() ? m_scan.FindAny(I, s_abTextStops.data()) : m_scan.Find(I, '<');
            if (J >= m_scan.Length())
                return J;
            if (m_scan.Byte(J) == '<')
                return OpenTagOrComment(J);
            m_scan.AddBlock(J, HtmlBlockColor(m_dwCookie));
            I = J + 1;
        }
    }

    // A '<' outside a tag, or inside one when words are not coloured.
    int OpenTagOrComment(int J)
    {
        if (IsCommentOpenerAt(m_scan, J))
            return OpenComment(J);
        m_scan.AddBlock(J + 1, COLORINDEX_PREPROCESSOR);
        m_dwCookie |= HTML_TAG;
        m_nWordBegin = -1;
        return J + 1;
    }

    int OpenComment(int J)
    {
        m_scan.AddBlock(J, COLORINDEX_COMMENT);
        m_dwCookie = (m_dwCookie & ~std::uint32_t(HTML_TAG)) | HTML_COMMENT;
        m_nCommentStart = J;
        return J + 4;
    }

    // Inside a tag without blocks words are not tested, so only quotes, '<'
    // and '>' change anything.
    int SkipTag(int I)
    {
        const int J = m_scan.FindAny(I, s_abTagStops.data());
        if (J >= m_scan.Length())
            return J;
        const unsigned char c = m_scan.Byte(J);
        if (c == '"' || c == '\'') {
            m_dwCookie |= c == '"' ? HTML_DQ_VALUE : HTML_SQ_VALUE;
            return J + 1;
        }
        if (c == '<')
            return OpenTagOrComment(J);
        m_dwCookie &= ~std::uint32_t(HTML_TAG);
        return J + 1;
    }

    // Inside a tag with blocks, character by character from I (a character
    // start after an ASCII byte), until the tag, a value or a comment begins
    // or ends.
    int WalkTag(int I)
    {
        const int nLength = m_scan.Length();
        bool bTrailBefore = false;
        while (I < nLength) {
            const unsigned char c = m_scan.Byte(I);
            switch (s_aHtmlClass[c]) {
            case HB_WORD:
                BeginWord(I);
                bTrailBefore = false;
                I = m_scan.SkipWordChars(I + 1, bTrailBefore);
                continue;
            case HB_LEAD:
                if (m_scan.CharLengthAt(I) == 2) {
                    BeginWord(I);
                    bTrailBefore = true;
                    I = m_scan.SkipWordChars(I + 2, bTrailBefore);
                    continue;
                }
                break;
            case HB_DOT:
                if (m_scan.IsNumberDotAt(I, bTrailBefore)) {
                    BeginWord(I);
                    bTrailBefore = false;
                    I = m_scan.SkipWordChars(I + 1, bTrailBefore);
                    continue;
                }
                break;
            case HB_QUOTE:
                m_scan.AddBlock(I, COLORINDEX_STRING);
                m_dwCookie |= c == '"' ? HTML_DQ_VALUE : HTML_SQ_VALUE;
                return I + 1;
            case HB_LT:
                if (IsCommentOpenerAt(m_scan, I))
                    return OpenComment(I);
                break;
            default:
                break;
            }
            // A delimiter. A word that is not recognised stays open, so that
            // the next test covers it together with what follows ("name=value").
            bool bBlock = false;
            if (m_nWordBegin >= 0 && ColorWord(m_nWordBegin, I)) {
                m_nWordBegin = -1;
                bBlock = true;
            }
            if (c == '<') {
                m_scan.AddBlock(I + 1, COLORINDEX_PREPROCESSOR);
                m_nWordBegin = -1;
            } else if (c == '>') {
                m_dwCookie &= ~std::uint32_t(HTML_TAG);
                m_nWordBegin = -1;
                bBlock = true;
            } else if (CParseScan::IsBlank(c)) {
                m_nWordBegin = -1;
                bBlock = true;
            }
            // The run after a word, a blank or the tag starts at the delimiter.
            if (bBlock)
                m_scan.AddBlock(I, HtmlBlockColor(m_dwCookie));
            ++I;
            bTrailBefore = false;
            if (c == '>')
                return I;
        }
        return I;
    }

    void BeginWord(int I)
    {
        if (m_nWordBegin < 0)
            m_nWordBegin = I;
    }

    // Colours the word [nBegin, nEnd) found inside a tag; false when it is
    // none of the known kinds.
    bool ColorWord(int nBegin, int nEnd)
    {
        const char *pWord = m_scan.Text() + nBegin;
        const int nWord = nEnd - nBegin;
        int nColor = HtmlNameColor(pWord, nWord);
        if (nColor == 0 && IsHtmlNumberToken(pWord, nWord))
            nColor = COLORINDEX_NUMBER;
        if (nColor == 0)
            return false;
        m_scan.AddBlock(nBegin, nColor);
        return true;
    }

    CParseScan &m_scan;
    std::uint32_t m_dwCookie;
    int m_nWordBegin = -1;     // the word being read inside a tag
    int m_nCommentStart = -1;  // where "<!--" stood on this line
};

} // namespace

bool IsHtmlNumberToken(const char *pszWord, int nLength)
{
    if (pszWord == nullptr || nLength <= 0)
        return false;
    const auto *p = reinterpret_cast<const unsigned char *>(pszWord);
    int nHexFrom = -1;
    if (nLength > 2 && p[0] == '0' && p[1] == 'x')
        nHexFrom = 2;
    else if (nLength > 1 && p[0] == '#')
        nHexFrom = 1;
    if (nHexFrom >= 0) {
        for (int i = nHexFrom; i < nLength; ++i) {
            if (!IsHexDigit(p[i]))
                return false;
        }
        return true;
    }
    return IsNumberToken(pszWord, nLength);
}

std::uint32_t ParseLineHtml(const CLineSource &lines, std::uint32_t dwCookie, int nLineIndex,
                            ColorBlock *pBuf, int &nActualItems)
{
    CParseScan scan(lines, nLineIndex, pBuf, nActualItems);
    if (scan.Length() == 0)
        return dwCookie & HTML_LINE_MASK;
    // A '<' or '>' at the end of a line inside a comment or a value opens or
    // closes no tag: the lines after the comment would otherwise be coloured
    // as the inside of a tag.
    return CHtmlLine(scan, dwCookie).Parse();
}

std::uint32_t ParseLineHtmlSimple(const CLineSource &lines, std::uint32_t dwCookie, int nLineIndex,
                                  ColorBlock *pBuf, int &nActualItems)
{
    CParseScan scan(lines, nLineIndex, pBuf, nActualItems);
    const int nLength = scan.Length();
    if (nLength == 0)
        return dwCookie & SIMPLE_LINE_MASK;

    // None of the bytes looked at here can be the second byte of a
    // double-byte character, so the scan jumps from one to the next.
    auto color = [&] {
        if (dwCookie & SIMPLE_COMMENT)
            return COLORINDEX_COMMENT;
        if (dwCookie & SIMPLE_STRING)
            return COLORINDEX_STRING;
        if (dwCookie & SIMPLE_TAG)
            return COLORINDEX_TAG;
        return COLORINDEX_NORMALTEXT;
    };
    scan.AddBlock(0, color());
    for (int I = 0; I < nLength;) {
        if (dwCookie & (SIMPLE_TAG | SIMPLE_COMMENT)) {
            // A tag ends at its '>', a comment at a '>' after "--"; the run
            // after it begins after the '>'.
            int J = scan.Find(I, '>');
            if (!(dwCookie & SIMPLE_TAG)) {
                while (J < nLength && !(J > 1 && scan.Byte(J - 1) == '-' && scan.Byte(J - 2) == '-'))
                    J = scan.Find(J + 1, '>');
            }
            if (J >= nLength)
                break;
            dwCookie &= ~std::uint32_t((dwCookie & SIMPLE_TAG) ? SIMPLE_TAG : SIMPLE_COMMENT);
            I = J + 1;
            scan.AddBlock(I, color());
            continue;
        }
        const int J = scan.Find(I, '<');
        if (J >= nLength)
            break;
        if (IsCommentOpenerAt(scan, J)) {
            scan.AddBlock(J, COLORINDEX_COMMENT);
            dwCookie |= SIMPLE_COMMENT;
        } else {
            scan.AddBlock(J, COLORINDEX_TAG);
            dwCookie |= SIMPLE_TAG;
        }
        I = J + 1;
    }
    return dwCookie & SIMPLE_LINE_MASK;
}
