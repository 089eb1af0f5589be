// Character colour gradation: each visible character in a font element of its
// own colour.
#include "html/htmlgen.h"

#include "html/tagattr.h"
#include "text/sjis.h"

#include <array>
#include <cstdio>

namespace {

constexpr std::array<CGradColor, 7> RAINBOW_ANCHORS = {{
    {0xff, 0x00, 0x00},
    {0xff, 0xff, 0x00},
    {0x00, 0xff, 0x00},
    {0x00, 0xff, 0xff},
    {0x00, 0x00, 0xff},
    {0xff, 0x00, 0xff},
    {0xff, 0x00, 0x80},
}};

bool IsInvisible(char c)
{
    return c == '\r' || c == '\n' || c == '\t';
}

// Component i of n steps from nFrom towards nTo, truncated as the step is.
int Step(int nFrom, int nTo, int i, int n)
{
    if (nTo >= nFrom)
        return nFrom + static_cast<int>(static_cast<double>(nTo - nFrom) / n * i);
    return nFrom - static_cast<int>(static_cast<double>(nFrom - nTo) / n * i);
}

CGradColor StepColor(CGradColor from, CGradColor to, int i, int n)
{
    return {Step(from.nRed, to.nRed, i, n), Step(from.nGreen, to.nGreen, i, n),
            Step(from.nBlue, to.nBlue, i, n)};
}

// The colour of visible character i of n.
class CGradient
{
public:
    CGradient(CGradColor from, CGradColor to, bool bRainbow, int n)
        : m_from(from), m_to(to), m_bRainbow(bRainbow), m_n(n)
    {
    }

    CGradColor ColorAt(int i) const
    {
        if (!m_bRainbow)
            return StepColor(m_from, m_to, i, m_n);
        // Six runs, one per pair of neighbouring anchors; the remainder of
        // n / 6 gives the first runs one character more each.
        const int nBase = m_n / 6;
        const int nExtra = m_n % 6;
        int nStart = 0;
        for (int nRun = 0; nRun < 6; ++nRun) {
            const int nLength = nBase + (nRun < nExtra ? 1 : 0);
            if (i < nStart + nLength)
                return StepColor(RAINBOW_ANCHORS[static_cast<std::size_t>(nRun)],
                                 RAINBOW_ANCHORS[static_cast<std::size_t>(nRun) + 1], i - nStart, nLength);
            nStart += nLength;
        }
        return RAINBOW_ANCHORS.back();
    }

private:
    CGradColor m_from;
    CGradColor m_to;
    bool m_bRainbow;
    int m_n;
};

} // namespace

bool ParseHtmlColor(std::string_view str, CGradColor &color)
{
    const std::string strHash = !str.empty() && str[0] == '#' ? std::string(str) : "#" + std::string(str);
    int nRed = 0;
    int nGreen = 0;
    int nBlue = 0;
    if (!ParseHexColor(strHash, nRed, nGreen, nBlue))
        return false;
    color = {nRed, nGreen, nBlue};
    return true;
}

std::string BuildGradation(std::string_view text, CGradColor crFrom, CGradColor crTo, bool bRainbow,
                           bool bUpperTags)
{
    int n = 0;
    for (std::size_t i = 0; i < text.size();) {
        const int nLength = SjisCharLength(text.data() + i, text.size() - i);
        if (nLength == 2 || !IsInvisible(text[i]))
            ++n;
        i += static_cast<std::size_t>(nLength);
    }
    if (n == 0)
        return std::string(text);

    const char *pszOpen = bUpperTags ? "<FONT COLOR=\"#%02x%02x%02x\">" : "<font color=\"#%02x%02x%02x\">";
    const char *pszClose = bUpperTags ? "</FONT>" : "</font>";
    const CGradient gradient(crFrom, crTo, bRainbow, n);
    std::string out;
    out.reserve(text.size() + static_cast<std::size_t>(n) * 36);
    int nIndex = 0;
    for (std::size_t i = 0; i < text.size();) {
        const int nLength = SjisCharLength(text.data() + i, text.size() - i);
        if (nLength == 1 && IsInvisible(text[i])) {
            out += text[i++];
            continue;
        }
        const CGradColor c = gradient.ColorAt(nIndex++);
        char szOpen[40];
        std::snprintf(szOpen, sizeof szOpen, pszOpen, c.nRed & 0xFF, c.nGreen & 0xFF, c.nBlue & 0xFF);
        out += szOpen;
        out.append(text, i, static_cast<std::size_t>(nLength));
        out += pszClose;
        i += static_cast<std::size_t>(nLength);
    }
    return out;
}
