// The text rules of the tag jump and of jumping from a result line.
#include "search/tagjump.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::string Token(std::string_view line, int nCaret)
{
    int nStart = 0;
    int nEnd = 0;
    if (!FindTokenAtCaret(line, nCaret, nStart, nEnd))
        return "<none>";
    return std::string(line.substr(static_cast<std::size_t>(nStart), static_cast<std::size_t>(nEnd - nStart)));
}

} // namespace

TEST(TagJump, TokensStopAtDelimitersAndQuotedValuesKeepTheirSpaces)
{
    const std::string line = "<a href=\"my page.htm\" title='x'>see images/a.gif now</a>";
    EXPECT_EQ(Token(line, 12), "my page.htm");  // inside the quoted value, spaces and all
    EXPECT_EQ(Token(line, 16), "my page.htm");
    // Between hard delimiters spaces do not count; without them spaces end the token.
    EXPECT_EQ(Token(line, 40), "see images/a.gif now");
    EXPECT_EQ(Token("see images/a.gif now", 8), "images/a.gif");
    EXPECT_EQ(Token("path/file.txt", 0), "path/file.txt");
    EXPECT_EQ(Token("path/file.txt", 13), "path/file.txt");
    EXPECT_EQ(Token("a,b;c", 2), "b");
    // A delimiter right at the caret belongs to the token; classification cuts it off.
    EXPECT_EQ(Token("\"abc\">", 4), "abc\"");
    EXPECT_EQ(Token("x  y", 2), "<none>");
    EXPECT_EQ(Token("", 0), "<none>");
    // 表 ends in 0x5C and ソ in 0x5C too: bytes above 0x3F are never delimiters.
    EXPECT_EQ(Token("=\x95\x5C\x83\x5C.htm>", 3), "\x95\x5C\x83\x5C.htm");
}

TEST(TagJump, SelectionsNameUrlsOrExistingFiles)
{
    const std::set<std::string> files = {"/site/images/a.gif", "/site/index.htm", "/abs/x.txt", "rel/y.txt",
                                         "/site/\xE8\xA1\xA8/b.htm"};
    auto Exists = [&files](const std::string &s) { return files.count(s) > 0; };
    std::string strPath;
    EXPECT_EQ(ClassifyJumpText(" HTTP://example.com/a b", "/site/x.htm", strPath, Exists), JUMP_URL);
    EXPECT_EQ(ClassifyJumpText("mailto:someone@example.com", "", strPath, Exists), JUMP_URL);
    EXPECT_EQ(ClassifyJumpText("Https://example.com/", "/site/x.htm", strPath, Exists), JUMP_URL);
    EXPECT_EQ(ClassifyJumpText("https:/", "/site/x.htm", strPath, Exists), JUMP_NONE);
    EXPECT_EQ(ClassifyJumpText("images/a.gif", "/site/x.htm", strPath, Exists), JUMP_FILE);
    EXPECT_EQ(strPath, "/site/images/a.gif");
    EXPECT_EQ(ClassifyJumpText("images\\a.gif\",", "/site/x.htm", strPath, Exists), JUMP_FILE);
    EXPECT_EQ(strPath, "/site/images/a.gif");
    // 表 (0x95 0x5C) keeps its second byte; the '\' after it separates names.
    EXPECT_EQ(ClassifyJumpText("\x95\x5C\\b.htm", "/site/x.htm", strPath, Exists), JUMP_FILE);
    EXPECT_EQ(strPath, "/site/\xE8\xA1\xA8/b.htm");
    // As written, when not beside the document; a new document has no folder.
    EXPECT_EQ(ClassifyJumpText("/abs/x.txt", "/site/x.htm", strPath, Exists), JUMP_FILE);
    EXPECT_EQ(ClassifyJumpText("rel/y.txt", "", strPath, Exists), JUMP_FILE);
    EXPECT_EQ(ClassifyJumpText("images/a.gif", "", strPath, Exists), JUMP_NONE);
    EXPECT_EQ(strPath, "");
    EXPECT_EQ(ClassifyJumpText("  ", "/site/x.htm", strPath, Exists), JUMP_NONE);

    EXPECT_TRUE(HasExtensionIn("/site/index.HTM", "txt;html;htm"));
    EXPECT_FALSE(HasExtensionIn("/site/a.gif", "txt;html;htm"));
    EXPECT_FALSE(HasExtensionIn("/site.htm/README", "txt;html;htm"));
    EXPECT_FALSE(HasExtensionIn("/site/a.", "txt;;htm"));
}

TEST(TagJump, ResultLinesNameAFileAndALine)
{
    std::string strPath;
    int nLine = 0;
    ASSERT_TRUE(ParseResultLine("sub/a.txt(12): text (3): more", strPath, nLine));
    EXPECT_EQ(strPath, "sub/a.txt");
    EXPECT_EQ(nLine, 12);
    // Parentheses in the path: the last '(' before the first ": " begins the number.
    ASSERT_TRUE(ParseResultLine("copy (1)/b(2).htm(7): > x", strPath, nLine));
    EXPECT_EQ(strPath, "copy (1)/b(2).htm");
    EXPECT_EQ(nLine, 7);
    for (const char *psz : {"（'a.txt' を開けません。）", "検索総数が多いので中断します...", "3 個、検索されました。(2ファイル中)",
                            "a.txt(x): y", "a.txt(): y", "(3): y", "a.txt(3):y", ""})
        EXPECT_FALSE(ParseResultLine(psz, strPath, nLine)) << psz;
}
