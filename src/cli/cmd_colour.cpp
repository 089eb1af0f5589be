// colour: the syntax colouring of a document, line by line, as a view draws it
// (a file in UTF-8, EUC-JP or JIS read in its own code, as the editor does).
// Each output line is the state at the end of the line (8 hexadecimal digits)
// followed by the line's runs as " POS:COLOUR".
#include "cli/cli.h"
#include "syntax/linesource.h"
#include "syntax/statecache.h"
#include "syntax/viewtype.h"
#include "text/codedfile.h"
#include "text/textbuffer.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace {

bool ParseViewType(const std::string &strArg, int &nViewType)
{
    const char *pEnd = strArg.data() + strArg.size();
    const auto [ptr, ec] = std::from_chars(strArg.data(), pEnd, nViewType);
    return ec == std::errc() && ptr == pEnd && nViewType >= 0 && nViewType < VIEWTYPE_COUNT;
}

// ":N" for the colour indices, which are small.
struct CColourText
{
    char sz[4];
    unsigned char nLength;
};

constexpr int COLOUR_TEXTS = 100;

constexpr std::array<CColourText, COLOUR_TEXTS> MakeColourTexts()
{
    std::array<CColourText, COLOUR_TEXTS> a{};
    for (int n = 0; n < COLOUR_TEXTS; ++n) {
        CColourText &text = a[static_cast<std::size_t>(n)];
        text.sz[0] = ':';
        if (n < 10) {
            text.sz[1] = static_cast<char>('0' + n);
            text.nLength = 2;
        } else {
            text.sz[1] = static_cast<char>('0' + n / 10);
            text.sz[2] = static_cast<char>('0' + n % 10);
            text.nLength = 3;
        }
    }
    return a;
}

constexpr std::array<CColourText, COLOUR_TEXTS> s_aColourTexts = MakeColourTexts();

// Output with a buffer of its own: a document of many lines becomes millions
// of small numbers, too many for formatted output.
class COutput
{
public:
    ~COutput() { Flush(); }

    // One line's blocks: " POS:COLOUR" each.
    void PutBlocks(const ColorBlock *pBlocks, int nBlocks)
    {
        for (int i = 0; i < nBlocks; ++i) {
            char *p = Reserve(2 + 2 * 11);
            *p++ = ' ';
            p = PutNumber(p, pBlocks[i].nCharPos);
            const int nColor = pBlocks[i].nColorIndex;
            if (nColor >= 0 && nColor < COLOUR_TEXTS) {
                // Four bytes go out whatever the length: there is room.
                std::memcpy(p, s_aColourTexts[nColor].sz, 4);
                p += s_aColourTexts[nColor].nLength;
            } else {
                *p++ = ':';
                p = std::to_chars(p, p + 11, nColor).ptr;
            }
            m_nUsed = static_cast<std::size_t>(p - m_szBuffer);
        }
    }

    // A state as 8 hexadecimal digits.
    void PutState(std::uint32_t dw)
    {
        static const char s_szDigits[] = "0123456789abcdef";
        char *p = Reserve(8);
        for (int nShift = 28; nShift >= 0; nShift -= 4)
            *p++ = s_szDigits[(dw >> nShift) & 0xF];
        m_nUsed += 8;
    }

    void PutNewLine()
    {
        *Reserve(1) = '\n';
        ++m_nUsed;
    }

    bool Flush()
    {
        if (m_nUsed > 0 && std::fwrite(m_szBuffer, 1, m_nUsed, stdout) != m_nUsed)
            m_bFailed = true;
        m_nUsed = 0;
        return !m_bFailed;
    }

private:
    // The decimal digits of n at p; the end of them. Positions in a line are
    // mostly below 10,000, so those go out in pairs of digits.
    static char *PutNumber(char *p, int n)
    {
        static constexpr char s_szPairs[] = "0001020304050607080910111213141516171819202122232425262728293031323334"
                                            "3536373839404142434445464748495051525354555657585960616263646566676869"
                                            "707172737475767778798081828384858687888990919293949596979899";
        if (n < 0 || n >= 10000)
            return std::to_chars(p, p + 11, n).ptr;
        if (n < 10) {
            *p = static_cast<char>('0' + n);
            return p + 1;
        }
        if (n < 100) {
            std::memcpy(p, s_szPairs + 2 * n, 2);
            return p + 2;
        }
        if (n < 1000) {
            *p = static_cast<char>('0' + n / 100);
            std::memcpy(p + 1, s_szPairs + 2 * (n % 100), 2);
            return p + 3;
        }
        std::memcpy(p, s_szPairs + 2 * (n / 100), 2);
        std::memcpy(p + 2, s_szPairs + 2 * (n % 100), 2);
        return p + 4;
    }

    // Room for n more bytes at the returned place.
    char *Reserve(std::size_t n)
    {
        if (m_nUsed + n > sizeof m_szBuffer)
            Flush();
        return m_szBuffer + m_nUsed;
    }

    char m_szBuffer[1 << 16];
    std::size_t m_nUsed = 0;
    bool m_bFailed = false;
};

int Colour(const CliArgs &args)
{
    // Without --type the file's extension chooses, as when a file is opened.
    int nViewType = -1;
    std::string strPath;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--type" && i + 1 < args.size()) {
            if (!ParseViewType(args[++i], nViewType))
                return CliFail("colour: the type must be a number from 0 to 7, not \"" + args[i] + "\"", CLI_USAGE);
        } else if (strPath.empty() && args[i] != "--type") {
            strPath = args[i];
        } else {
            return CliUsage("colour");
        }
    }
    if (strPath.empty())
        return CliUsage("colour");
    if (!CliCheckInput(strPath))
        return CLI_FAILED;
    if (nViewType < 0)
        nViewType = ViewTypeFromPath(strPath);

    // Read in its own code, as the editor opens it: positions are those of
    // the Shift-JIS text the view draws.
    CCrystalTextBuffer buffer;
    CFileCodeState state;
    if (!LoadCodedFile(buffer, strPath, state))
        return CliFail("cannot load " + strPath + ": " + std::strerror(errno));
    const CBufferLineSource lines(buffer);
    CSyntaxColorer colorer(lines, nViewType);

    COutput out;
    std::vector<ColorBlock> aBlocks;
    const int nLineCount = buffer.GetLineCount();
    for (int nLine = 0; nLine < nLineCount; ++nLine) {
        int nBlocks = 0;
        out.PutState(colorer.ParseLineForDrawing(nLine, aBlocks, nBlocks));
        out.PutBlocks(aBlocks.data(), nBlocks);
        out.PutNewLine();
    }
    if (!out.Flush() || std::fflush(stdout) != 0)
        return CliFail("cannot write the output");
    return 0;
}

const CCliRegistrar reg("colour",
                        "[--type N] FILE   per line of FILE (read in its own code, as info says) the state at\n"
                        "         its end (8 hex digits) and its colour runs \" POS:COLOUR\"",
                        Colour);

} // namespace
