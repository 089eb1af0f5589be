// The charset a page declares follows the code its document is saved in.
#include "html/charsetdecl.h"

#include <gtest/gtest.h>

TEST(CharsetDecl, TheFirstDeclarationInTheHeadIsReplaced)
{
    const struct
    {
        const char *pszIn;
        const char *pszOut;
    } cases[] = {
        {"<head>\n  <meta charset=\"Shift_JIS\">\n</head>", "<head>\n  <meta charset=\"UTF-8\">\n</head>"},
        {"<META CHARSET=x-sjis>", "<META CHARSET=UTF-8>"},
        {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">",
         "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">"},
        {"<meta content='text/html;charset = euc-jp' http-equiv=Content-Type/>",
         "<meta content='text/html;charset = UTF-8' http-equiv=Content-Type/>"},
        {"<meta name=x><meta charset=sjis><meta charset=euc-jp>", "<meta name=x><meta charset=UTF-8><meta charset=euc-jp>"},
    };
    for (const auto &c : cases) {
        std::string html = c.pszIn;
        EXPECT_TRUE(ReplaceDeclaredCharset(html, "UTF-8")) << c.pszIn;
        EXPECT_EQ(html, c.pszOut);
    }
}

TEST(CharsetDecl, PagesWithoutADeclarationInTheHeadStayAsTheyAre)
{
    for (const char *psz : {"<p>charset=Shift_JIS</p>", "<head></head><meta charset=sjis>",
                            "<meta name=\"description\" content=\"about charsets\">", "<meta charset=\"\">", ""}) {
        std::string html = psz;
        EXPECT_FALSE(ReplaceDeclaredCharset(html, "UTF-8")) << psz;
        EXPECT_EQ(html, psz);
    }
}
