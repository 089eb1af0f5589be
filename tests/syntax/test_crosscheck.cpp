// Every routine against the byte-by-byte rules of bytewise.h, on random
// documents built from the pieces that matter to some language, double-byte
// characters whose second byte looks like a delimiter, broken characters and
// arbitrary bytes, and on the sample documents of the golden tests. The blocks
// and the states must be exactly the same, from any incoming state, with and
// without a block array.
#include "bytewise.h"
#include "support/testutil.h"
#include "syntax/linesource.h"
#include "syntax/viewtype.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace {

const char *const s_apszPieces[] = {
    // HTML
    "<", ">", "<!--", "-->", "<!-->", "<!", "--", "=", "\"", "'", "#FF00cc", "#", "0x1f", "0x",
    "font", "FONT", "color", "width", "cellpadding", "h1", "td", "</", "<!DOCTYPE", "100", "1.5", "a.b",
    ".", "50%", "href=\"", "\\\"",
    // C, C++ and the script languages
    "//", "/*", "*/", "/*/", "#include", "\\", "int", "DWORD", "If", "_x", "_", "3.14e+2", "1e", "10L",
    "REM", "rem", "harem", "Dim", "$#", "$x", "@a", "print", "(*", "*)", "(*)", "(", ")", "{", "}",
    "{$R+}", "begin", "BEGIN", "*", "/", "+", ";",
    // links
    "http://", "http:/", "http://a.jp/x", "https://", "https:/", "a@b", "~", ":", "-",
    // blanks
    " ", " ", " ", "  ", "\t", "\r", "\x0B",
    // double-byte characters: trail bytes \ } { @ r R, a trail byte in the
    // lead range, a lone lead byte, kana and bytes that start no character
    "\x95\x5C", "\x83\x7D", "\x83\x7B", "\x83\x40", "\x82\xA0", "\x88\x9F", "\x83r", "\x83R", "\x8C" "e",
    "\x95", "\xE0", "\xB1", "\xA0", "\xFD", "\x80", "\xFF",
};

std::string RandomLine(std::mt19937 &rng)
{
    const std::size_t nPieces = sizeof s_apszPieces / sizeof s_apszPieces[0];
    std::uniform_int_distribution<int> count(0, 24);
    std::uniform_int_distribution<std::size_t> piece(0, nPieces + 3);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string line;
    if (count(rng) < 3)
        return line;
    for (int i = count(rng); i >= 0; --i) {
        const std::size_t k = piece(rng);
        if (k < nPieces)
            line += s_apszPieces[k];
        else
            line += static_cast<char>(byte(rng));
    }
    return line;
}

std::string BlocksText(const std::vector<ColorBlock> &aBlocks)
{
    std::ostringstream s;
    for (const ColorBlock &block : aBlocks)
        s << ' ' << block.nCharPos << ':' << block.nColorIndex;
    return s.str();
}

// Compares one line parsed by the routine of a type with the rules; false
// after the first difference, which is reported.
bool SameAsBytewise(int nViewType, const CLineSource &lines, int nLine, std::string_view line,
                    std::uint32_t dwState, std::uint32_t &dwNext)
{
    const ParseLineFunc pfn = ParseLineFuncOfViewType(nViewType);
    std::vector<ColorBlock> aExpected;
    const std::uint32_t dwExpected = bytewise::ParseByViewType(nViewType, line, dwState, &aExpected);
    const std::uint32_t dwExpectedNoBlocks = bytewise::ParseByViewType(nViewType, line, dwState, nullptr);

    std::vector<ColorBlock> aBuf(static_cast<std::size_t>(ColorBlockCapacity(static_cast<int>(line.size()))) + 1);
    int nItems = 0;
    dwNext = pfn(lines, dwState, nLine, aBuf.data(), nItems);
    int nNone = 0;
    const std::uint32_t dwNoBlocks = pfn(lines, dwState, nLine, nullptr, nNone);
    aBuf.resize(static_cast<std::size_t>(nItems));

    if (dwNext == dwExpected && dwNoBlocks == dwExpectedNoBlocks && nNone == 0
        && BlocksText(aBuf) == BlocksText(aExpected))
        return true;
    ADD_FAILURE() << "type " << nViewType << ", state " << std::hex << dwState << std::dec << ", line "
                  << ::testing::PrintToString(std::string(line)) << "\n  blocks:   " << BlocksText(aBuf) << " -> "
                  << std::hex << dwNext << " (" << dwNoBlocks << " without blocks)" << std::dec << "\n  expected: "
                  << BlocksText(aExpected) << " -> " << std::hex << dwExpected << " (" << dwExpectedNoBlocks << ")";
    return false;
}

// Parses the lines as a document (each from the state the one above ended
// in) and each line again from every state in adwStates.
void CheckDocument(const std::vector<std::string> &aText, const std::vector<std::uint32_t> &adwStates)
{
    const std::vector<std::string_view> aViews(aText.begin(), aText.end());
    const CMemoryLineSource lines(aViews);
    for (int nType = 0; nType < VIEWTYPE_COUNT; ++nType) {
        std::uint32_t dwState = 0;
        for (int i = 0; i < lines.GetLineCount(); ++i) {
            std::uint32_t dwNext = 0;
            if (!SameAsBytewise(nType, lines, i, aViews[static_cast<std::size_t>(i)], dwState, dwNext))
                return;
            for (std::uint32_t dw : adwStates) {
                std::uint32_t dwIgnored = 0;
                if (!SameAsBytewise(nType, lines, i, aViews[static_cast<std::size_t>(i)], dw, dwIgnored))
                    return;
            }
            dwState = dwNext;
        }
    }
}

} // namespace

TEST(CrossCheck, RandomDocumentsColourAsTheBytewiseRules)
{
    std::mt19937 rng(20261206);
    const std::vector<std::uint32_t> adwStates = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x06, 0x0C, 0x3F, 0xFFFFFFFF};
    for (int nDocument = 0; nDocument < 60; ++nDocument) {
        std::vector<std::string> aText;
        for (int i = 0; i < 100; ++i)
            aText.push_back(RandomLine(rng));
        CheckDocument(aText, nDocument % 10 == 0 ? adwStates : std::vector<std::uint32_t>{});
        if (HasFailure())
            return;
    }
}

TEST(CrossCheck, BrokenCharactersColourAsTheBytewiseRules)
{
    // A lead byte at the end, alone and before each delimiter, and NUL bytes.
    std::vector<std::string> aText = {"\x95", "ab\x95", "\"\x95", "<a \x95", "/* \x95", "\x95\"",
                                      "\x95<", "\x95\\", "\xFD\xFE\xFF", "\x80"};
    aText.emplace_back("a\0b\0", 4);
    aText.emplace_back("\"a\0\"", 4);
    CheckDocument(aText, {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x3F, 0xFFFFFFFF});
}

TEST(CrossCheck, LongLinesColourAsTheBytewiseRules)
{
    // Long runs of one kind of byte between the constructs: words, blanks,
    // double-byte text and lead-range pairs.
    std::mt19937 rng(7);
    std::vector<std::string> aText;
    for (const char *pszRun : {"abcdefgh", "        ", "\x95\x5C\x8E\xA6", "\x88\x9F\x88\x9F", "\\\\"}) {
        std::string line;
        for (int i = 0; i < 40; ++i) {
            line += RandomLine(rng);
            for (int k = 0; k < 50; ++k)
                line += pszRun;
        }
        aText.push_back(line);
    }
    CheckDocument(aText, {0x04, 0x08, 0x20});
}

TEST(CrossCheck, SampleDocumentsColourAsTheBytewiseRules)
{
    const std::string strDir = std::string(WP_TEST_DATA_DIR) + "/syntax/";
    for (const char *pszName : {"page.html", "sample.cpp", "Hello.java", "bbs.cgi", "Module1.bas", "Hyouji.pas",
                                "readme.txt"}) {
        std::vector<std::string> aText;
        std::istringstream in(ReadFileBytes(strDir + pszName));
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            aText.push_back(line);
        }
        ASSERT_GT(aText.size(), 3u) << pszName;
        CheckDocument(aText, {});
    }
}
