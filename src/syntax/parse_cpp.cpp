// C, C++, Java, JavaScript and resource scripts: comments, literals,
// preprocessor lines, keywords, Win32 type names, numbers and operators. The
// scan loop is the one of the script languages; this file holds the steps
// that are C's own: its two kinds of comment and preprocessor lines.
#include "syntax/keywords.h"
#include "syntax/parse.h"
#include "syntax/scriptparse.h"

#include <array>

namespace {

enum : std::uint32_t
{
    COOKIE_COMMENT = SCRIPT_COMMENT,  // "//" to the line end
    COOKIE_PREPROCESSOR = 0x02,       // a line that began with '#'
    COOKIE_EXT_COMMENT = 0x04,        // "/*" ... "*/"
    COOKIE_STRING = SCRIPT_STRING,
    COOKIE_CHAR = SCRIPT_CHAR,
};

// Operators and blanks are drawn in the operator colour, and so is whatever
// follows them up to the next block; words and numbers start normal text.
const CScriptLanguage s_cpp = {CppKeywordColor, COOKIE_COMMENT | COOKIE_EXT_COMMENT, COOKIE_PREPROCESSOR,
                               COOKIE_EXT_COMMENT, true, false, false};

// The bytes that may begin something of C's own once the first byte of the
// line has been seen.
constexpr std::array<bool, 256> MakeCppStarts()
{
    std::array<bool, 256> a{};
    for (unsigned char c : {'/', '*', '"', '\''})
        a[c] = true;
    return a;
}

constexpr std::array<bool, 256> s_abCppStarts = MakeCppStarts();

} // namespace

std::uint32_t ParseLineCpp(const CLineSource &lines, std::uint32_t dwCookie, int nLineIndex,
                           ColorBlock *pBuf, int &nActualItems)
{
    CParseScan scan(lines, nLineIndex, pBuf, nActualItems);
    const int nLength = scan.Length();
    if (nLength == 0)
        return dwCookie & COOKIE_EXT_COMMENT;

    CScriptParse parse(s_cpp, scan, dwCookie);
    bool bFirstChar = (dwCookie & ~std::uint32_t(COOKIE_EXT_COMMENT)) == 0;
    bool bWasCommentStart = false;
    return parse.Run([&](int &I, unsigned char c) {
        std::uint32_t &dwState = parse.Cookie();
        if (!(dwState & (COOKIE_EXT_COMMENT | COOKIE_PREPROCESSOR)) && !bFirstChar && !s_abCppStarts[c])
            return STEP_WORD;
        if (dwState & COOKIE_EXT_COMMENT) {
            // Only the end matters: jump to it (or to the last byte, when it
            // ends on a later line). The star of "/*" does not also close the
            // comment; a line that begins inside a comment may close it at once.
            I = scan.FindPairEnd(bWasCommentStart ? I + 1 : I, '*', '/');
            bWasCommentStart = false;
            if (I == nLength) {
                I = nLength - 1;
                return STEP_DONE;
            }
            dwState &= ~std::uint32_t(COOKIE_EXT_COMMENT);
            parse.BeginBlockAfter();
            return STEP_DONE;
        }
        if (I > 0 && c == '/' && scan.Byte(I - 1) == '/') {
            scan.AddBlock(I - 1, COLORINDEX_COMMENT);
            dwState |= COOKIE_COMMENT;
            return STEP_STOP;
        }
        if (dwState & COOKIE_PREPROCESSOR) {
            if (I > 0 && c == '*' && scan.Byte(I - 1) == '/') {
                scan.AddBlock(I - 1, COLORINDEX_COMMENT);
                dwState |= COOKIE_EXT_COMMENT;
            } else if (c != '/') {
                // Until the next '/' nothing can begin a comment.
                I = scan.Find(I + 1, '/') - 1;
            }
            return STEP_DONE;
        }
        if (c == '"' || c == '\'') {
            scan.AddBlock(I, COLORINDEX_STRING);
            dwState |= c == '"' ? COOKIE_STRING : COOKIE_CHAR;
            return STEP_DONE;
        }
        if (I > 0 && c == '*' && scan.Byte(I - 1) == '/') {
            scan.AddBlock(I - 1, COLORINDEX_COMMENT);
            dwState |= COOKIE_EXT_COMMENT;
            bWasCommentStart = true;
            return STEP_DONE;
        }
        if (bFirstChar) {
            if (c == '#') {
                scan.AddBlock(I, COLORINDEX_PREPROCESSOR);
                dwState |= COOKIE_PREPROCESSOR;
                return STEP_DONE;
            }
            if (!CParseScan::IsBlank(c))
                bFirstChar = false;
        }
        return STEP_WORD;
    });
}
