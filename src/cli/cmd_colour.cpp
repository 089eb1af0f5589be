// colour: the syntax colouring of a document, line by line, as a view draws it.
// Each output line is the state at the end of the line (8 hexadecimal digits)
// followed by the line's runs as " POS:COLOUR".
#include "cli/cli.h"
#include "syntax/linesource.h"
#include "syntax/statecache.h"
#include "syntax/viewtype.h"
#include "text/textbuffer.h"

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

// Output with a buffer of its own: a document of many lines becomes millions
// of small numbers, too many for formatted output.
class COutput
{
public:
    ~COutput() { Flush(); }

    // One block: " POS:COLOUR".
    void PutBlock(int nPos, int nColor)
    {
        char *p = Reserve(2 + 2 * 11);
        *p++ = ' ';
        p = std::to_chars(p, p + 11, nPos).ptr;
        *p++ = ':';
        m_nUsed = static_cast<std::size_t>(std::to_chars(p, p + 11, nColor).ptr - m_szBuffer);
    }

    // A state as 8 hexadecimal digits.
    void PutState(DWORD dw)
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
                return CliFail("the type must be a number from 0 to 7: " + args[i], 2);
        } else if (strPath.empty() && args[i] != "--type") {
            strPath = args[i];
        } else {
            return CliUsage("colour");
        }
    }
    if (strPath.empty())
        return CliUsage("colour");
    if (nViewType < 0)
        nViewType = ViewTypeFromPath(strPath);

    CCrystalTextBuffer buffer;
    if (!buffer.LoadFromFile(strPath, -1))
        return CliFail("cannot load " + strPath + ": " + std::strerror(errno));
    const CBufferLineSource lines(buffer);
    CSyntaxColorer colorer(lines, nViewType);

    COutput out;
    std::vector<ColorBlock> aBlocks;
    const int nLineCount = buffer.GetLineCount();
    for (int nLine = 0; nLine < nLineCount; ++nLine) {
        int nBlocks = 0;
        out.PutState(colorer.ParseLineForDrawing(nLine, aBlocks, nBlocks));
        for (int i = 0; i < nBlocks; ++i)
            out.PutBlock(aBlocks[static_cast<std::size_t>(i)].nCharPos,
                         aBlocks[static_cast<std::size_t>(i)].nColorIndex);
        out.PutNewLine();
    }
    if (!out.Flush() || std::fflush(stdout) != 0)
        return CliFail("cannot write the output");
    return 0;
}

const CCliRegistrar reg("colour", "[--type N] FILE", Colour);

} // namespace
