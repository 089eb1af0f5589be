// Telling Shift-JIS from EUC-JP where the bytes fit both, and what the start
// of a file already tells about its code.
#include "text/codec.h"
#include "text/filecode.h"
#include "text/kanji.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Coded(const std::string &strUtf8, ETextCode eCode)
{
    std::string out;
    EXPECT_TRUE(EncodeFileText(Utf8ToCp932(strUtf8), eCode, CTextForms(), out)) << strUtf8;
    return out;
}

const char *const PROSE[] = {
    "このファイルは、設定を一行ずつ書いたものです。\n空行と「#」で始まる行は読み飛ばされます。\n",
    "東京都の天気\n",
    "ｶﾀｶﾅだけの行もあります。\r\n値を変えたら、保存してから再起動してください。\r\n",
    "<title>文字コードの自動判別</title>\n<p>全角カタカナ、ひらがな、漢字。</p>\n",
    "オプション -f を指定すると、確認せずに上書きする。\n",
};

} // namespace

TEST(FileCodeGuess, HalfWidthKatakanaInShiftJisIsNotTakenForEucKanji)
{
    // Runs of an even number of half-width katakana: every pair is also an
    // EUC-JP kanji, and the kanji detection alone answers EUC-JP.
    const char *const kana[] = {
        "ｺﾝﾆﾁﾊﾞ",
        "ｱｲ",
        "ｱｲ\r\n",
        "ﾃﾞｰﾀ ｿｳｼﾝ\r\nｶﾞｲﾖｳ､ｾｯﾄｱｯﾌﾟ｡\r\n",
        "<p>ｶﾀｶﾅ</p>\n<p>ﾃｷｽﾄ</p>\n",
        "ｷｰ=ｱﾀｲﾁ\nﾒﾓ=ﾊﾝｶｸｶﾅ ﾉﾐ ﾌｧｲﾙ\n",
    };
    for (const char *psz : kana) {
        const std::string bytes = Utf8ToCp932(psz);
        ASSERT_EQ(DetectKanjiCode(bytes), KANJI_EUC) << psz;
        ASSERT_NE(DecodeFileTextAs(bytes, ETextCode::Euc).eProblem, ETextProblem::Malformed) << psz;
        EXPECT_EQ(DetectTextCode(bytes), ETextCode::Sjis) << psz;
        const CDecodedText text = DecodeFileText(bytes);
        EXPECT_EQ(text.eCode, ETextCode::Sjis) << psz;
        EXPECT_EQ(text.strText, bytes) << psz;
    }
    // Two kanji and nothing else fit both readings equally: the guess keeps
    // to Shift-JIS, and the user can reopen the file as EUC-JP.
    EXPECT_EQ(DetectTextCode(Coded("山田", ETextCode::Euc)), ETextCode::Sjis);
}

TEST(FileCodeGuess, AStartThatShowsShiftJisHoldsForTheWholeFile)
{
    // Files of every kind, and each of their starts: whenever a start is said
    // to show Shift-JIS, the whole file is Shift-JIS to the editor.
    std::vector<std::string> files;
    for (const char *psz : PROSE) {
        for (const ETextCode eCode : {ETextCode::Sjis, ETextCode::Utf8, ETextCode::Utf8Bom, ETextCode::Euc, ETextCode::Jis})
            files.push_back(Coded(psz, eCode));
    }
    files.push_back(Utf8ToCp932("ｱｲ ｳｴ\r\n") + Coded("あ", ETextCode::Utf8));
    files.push_back(Coded("日本", ETextCode::Utf8) + "\x82\xA0");  // UTF-8, then a byte it does not allow
    files.push_back("\xB1\xB2\xB3\xB4\x82\xA0");                     // a shared pair, then one only Shift-JIS has
    files.push_back("\xE3\x81\x82\x82");                             // あ in UTF-8 and half a character
    int nShown = 0;
    for (const std::string &file : files) {
        for (std::size_t n = 0; n <= file.size(); ++n) {
            if (!BytesShowSjis(std::string_view(file).substr(0, n)))
                continue;
            ++nShown;
            EXPECT_EQ(DetectTextCode(file), ETextCode::Sjis) << Cp932ToUtf8(file) << " at " << n;
        }
    }
    // Shift-JIS text shows itself at its first kana.
    EXPECT_TRUE(BytesShowSjis(Coded("ここ", ETextCode::Sjis).substr(0, 3)));
    EXPECT_GT(nShown, 100);
    // A UTF-8 character cut by the end of the bytes, or a shared pair, shows nothing yet.
    EXPECT_FALSE(BytesShowSjis("\xE3\x81"));
    EXPECT_FALSE(BytesShowSjis("\xB1\xB2"));
    EXPECT_FALSE(BytesShowSjis("abc"));
}
