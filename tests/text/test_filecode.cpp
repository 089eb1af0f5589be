// Files in UTF-8, EUC-JP and JIS: every Shift-JIS character through each code
// and back, the characters Unicode has twice, detection, and what cannot come
// back unchanged.
#include "text/codec.h"
#include "text/filecode.h"
#include "text/kanji.h"
#include "text/sjis.h"
#include "text/utf8check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Every character of CP932 as its bytes.
std::vector<std::string> AllSjisChars()
{
    std::vector<std::string> all;
    for (int b = 1; b < 256; ++b) {
        if (IsSjisLeadByte(static_cast<unsigned char>(b)))
            continue;
        const std::string s(1, static_cast<char>(b));
        if (Cp932ToUtf8(s).find("\xEF\xBF\xBD") == std::string::npos)
            all.push_back(s);
    }
    ForEachSjisDoubleByte([&](unsigned char lead, unsigned char trail) {
        const std::string s{static_cast<char>(lead), static_cast<char>(trail)};
        int nBad = 0;
        Cp932ToUtf8(s, &nBad);
        if (nBad == 0)
            all.push_back(s);
    });
    return all;
}

std::string Encoded(std::string_view sjis, ETextCode eCode, const CTextForms &forms = {})
{
    std::string out;
    EXPECT_TRUE(EncodeFileText(sjis, eCode, forms, out)) << TextCodeTag(eCode);
    return out;
}

// What EUC and JIS cannot write: the user-defined area and the single bytes
// outside ASCII and half-width katakana; JIS not its own shift codes either.
bool HasNoSevenBitPlace(const std::string &s, ETextCode eCode)
{
    const auto c = static_cast<unsigned char>(s[0]);
    if (s.size() == 1)
        return (c >= 0x80 && !IsSjisKana(c)) || (eCode == ETextCode::Jis && (c == 0x1B || c == 0x0E || c == 0x0F));
    return c >= 0xF0 && c <= 0xF9;
}

} // namespace

TEST(FileCode, EveryShiftJisCharacterComesBackThroughEachCode)
{
    const std::vector<std::string> all = AllSjisChars();
    ASSERT_GT(all.size(), 7900u);  // JIS X 0208, the NEC and IBM rows, the user-defined area
    for (const ETextCode eCode : {ETextCode::Utf8, ETextCode::Utf8Bom, ETextCode::Euc, ETextCode::Jis}) {
        std::vector<std::string> aLost;
        int nTwins = 0;
        for (const std::string &s : all) {
            const std::string text = "a" + s + "\n";
            std::string file;
            if (!EncodeFileText(text, eCode, {}, file)) {
                if (eCode == ETextCode::Utf8 || eCode == ETextCode::Utf8Bom || !HasNoSevenBitPlace(s, eCode))
                    aLost.push_back(s);
                continue;
            }
            const CDecodedText back = DecodeFileTextAs(file, eCode);
            std::string again;
            if (!back.IsExact() || !EncodeFileText(back.strText, eCode, back.forms, again, nullptr, &back.extra)
                || again != file) {
                aLost.push_back(s);
                continue;
            }
            // A user-defined character of the file takes the first code of
            // the document's table; the others are the same even where
            // their code is the twin.
            if (!back.extra.IsEmpty()) {
                if (back.strText != "a\xF0\x40\n" || back.extra.Size() != 1
                    || back.extra.Chars()[0] != SjisCharToUnicode(s))
                    aLost.push_back(s);
            } else if (back.strText != text) {
                ++nTwins;
                if (Cp932ToUtf8(back.strText) != Cp932ToUtf8(text))
                    aLost.push_back(s);
            }
        }
        EXPECT_TRUE(aLost.empty()) << TextCodeTag(eCode) << ": " << aLost.size() << " characters, first "
                                   << (aLost.empty() ? "" : Cp932ToUtf8(aLost[0]));
        // The NEC-selected and IBM twins, and the IBM rows EUC and JIS write
        // in their NEC-selected place; never the bulk of the characters.
        EXPECT_GT(nTwins, 0) << TextCodeTag(eCode);
        EXPECT_LT(nTwins, 500) << TextCodeTag(eCode);
    }
}

TEST(FileCode, Utf8AgreesWithTheCodecAndEucJisWithTheKanjiConverter)
{
    // The document's own decoding draws what the file says.
    const std::string sjis = "\x88\x9F\x82\xA0\xB1 \x81\x60\x87\x40\xED\x40\xFA\x5C";  // 亜あｱ ～①纊纊
    EXPECT_EQ(Encoded(sjis, ETextCode::Utf8), Cp932ToUtf8(sjis));
    // JIS X 0208 through EUC is what the kanji converter writes.
    const std::string kanji = "\x8A\xBF\x8E\x9A\x82\xA0";  // 漢字あ
    EXPECT_EQ(Encoded(kanji, ETextCode::Euc), ConvertKanjiCodeFrom(kanji, KANJI_SJIS, OUTCODE_EUC));
    EXPECT_EQ(Encoded(kanji, ETextCode::Jis), "\x1B$B4A;z$\"\x1B(B");
    // Half-width katakana stay half-width: one EUC SS2 character, ESC ( I in JIS.
    EXPECT_EQ(Encoded("\xB1", ETextCode::Euc), "\x8E\xB1");
    EXPECT_EQ(Encoded("\xB1" "a", ETextCode::Jis), "\x1B(I1\x1B(Ba");
    EXPECT_EQ(Encoded("x", ETextCode::Utf8Bom), "\xEF\xBB\xBFx");
}

TEST(FileCode, DualFormsComeBackInTheFormTheFileUsed)
{
    for (const CDualForm &dual : DUAL_FORMS) {
        const std::string sjis{static_cast<char>(dual.nSjis >> 8), static_cast<char>(dual.nSjis & 0xFF)};
        // The form the document's codec reads is the usual one.
        EXPECT_EQ(Cp932DecodeChar(sjis.data(), 2, *std::make_unique<int>()), dual.cUsual);
        for (const char32_t c : {dual.cUsual, dual.cOther}) {
            // Plain UTF-8 by hand, independent of the converter (every form lies above U+007F).
            std::string utf8;
            if (c >= 0x800)
                utf8 = {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F))};
            else
                utf8 = {static_cast<char>(0xC0 | (c >> 6))};
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
            const std::string file = "x" + utf8 + "\n" + utf8;
            const CDecodedText text = DecodeFileText(file);
            ASSERT_EQ(text.eCode, ETextCode::Utf8);
            EXPECT_TRUE(text.IsExact());
            EXPECT_EQ(text.strText, "x" + sjis + "\n" + sjis);
            EXPECT_EQ(Encoded(text.strText, ETextCode::Utf8, text.forms), file);
            // What the user types afterwards is written in the file's form too.
            EXPECT_EQ(SjisCharToUnicode(sjis, text.forms), c);
        }
    }
    // Both forms in one file: the one met second takes a code of the table,
    // and the file comes back as it was.
    const std::string bothFile = "a\xE3\x80\x9C\r\nb\xEF\xBD\x9E\r\n\xE3\x80\x9C";  // 〜 ～ 〜
    const CDecodedText both = DecodeFileText(bothFile);
    EXPECT_TRUE(both.IsExact());
    EXPECT_EQ(both.strText, "a\x81\x60\r\nb\xF0\x40\r\n\x81\x60");
    std::string back;
    ASSERT_TRUE(EncodeFileText(both.strText, ETextCode::Utf8, both.forms, back, nullptr, &both.extra));
    EXPECT_EQ(back, bothFile);
}

TEST(FileCode, DetectionAndFallBack)
{
    struct { std::string bytes; ETextCode eCode; } cases[] = {
        {"", ETextCode::Sjis},
        {"plain\n", ETextCode::Sjis},
        {"\xEF\xBB\xBF", ETextCode::Utf8Bom},
        {"\xE6\xBC\xA2\xE5\xAD\x97", ETextCode::Utf8},       // 漢字
        {"\x8A\xBF\x8E\x9A", ETextCode::Sjis},               // 漢字
        {"\xB4\xC1\xBB\xFA", ETextCode::Euc},                // 漢字
        {"\x1B$B4A;z\x1B(B", ETextCode::Jis},                // 漢字
        {"\x1B$(D0!\x1B(B", ETextCode::Jis},                 // 丂 of JIS X 0212 alone
        {"ok \xE3\x81\x82 \xFF", ETextCode::Sjis},           // broken UTF-8 is taken as it stands
        {"\xA4\xA2\xA4", ETextCode::Sjis},                   // an EUC guess that ends in half a character
        {"\x1B$B4A\x90", ETextCode::Sjis},                   // a JIS guess with a byte JIS has not
        {"\xEF\xBB\xBF\xFF", ETextCode::Sjis},               // a mark before bytes that are no UTF-8
    };
    for (const auto &c : cases) {
        const CDecodedText text = DecodeFileText(c.bytes);
        EXPECT_EQ(text.eCode, c.eCode) << c.bytes;
        EXPECT_TRUE(text.IsExact()) << c.bytes;
        EXPECT_EQ(DetectTextCode(c.bytes), c.eCode) << c.bytes;
        // Whatever the guess, the file comes back the same.
        std::string again;
        EXPECT_TRUE(EncodeFileText(text.strText, text.eCode, text.forms, again, nullptr, &text.extra));
        EXPECT_EQ(again, c.bytes);
    }
    // A text that decides nothing takes the code of new documents; a BOM-only
    // file is empty text.
    EXPECT_EQ(DetectTextCode("abc", ETextCode::Utf8), ETextCode::Utf8);
    EXPECT_EQ(DetectTextCode("", ETextCode::Euc), ETextCode::Euc);
    EXPECT_EQ(DecodeFileText("\xEF\xBB\xBF").strText, "");
    // The code the user names reports what does not fit, with its line.
    const CDecodedText bad = DecodeFileTextAs("a\nb\n\x82\xA0", ETextCode::Utf8);
    EXPECT_EQ(bad.eProblem, ETextProblem::Malformed);
    EXPECT_EQ(bad.nProblemLine, 3);
    // UTF-8 named for a Shift-JIS file is refused, not guessed around.
    EXPECT_FALSE(DecodeFileTextAs("\x8A\xBF", ETextCode::Utf8).IsExact());
}

TEST(FileCode, CodesThatAreNoCharacterAreNamedWithTheirLine)
{
    const struct { std::string bytes; ETextCode eCode; int nLine; char32_t c; } cases[] = {
        {"\xB4\xC1\n\xA9\xA1", ETextCode::Euc, 2, 0},                      // an empty row of JIS X 0208
        {"x\r\n\x8F\xA1\xA1", ETextCode::Euc, 2, 0},                       // an empty row of JIS X 0212
        {"\x1B$B4A\n)!\x1B(B", ETextCode::Jis, 2, 0},
    };
    for (const auto &c : cases) {
        const CDecodedText text = DecodeFileTextAs(c.bytes, c.eCode);
        EXPECT_EQ(text.eProblem, ETextProblem::NoSjisForm) << c.bytes;
        EXPECT_EQ(text.nProblemLine, c.nLine) << c.bytes;
        EXPECT_EQ(text.cProblem, c.c) << c.bytes;
        EXPECT_NE(text.strText.find('?'), std::string::npos);
    }
}

TEST(FileCode, JisEscapesAsTheFileWroteThem)
{
    // ESC $ @ and ESC ( J, kana between SO and SI.
    const std::string old = "\x1B$@4A\x1B(Jx\x0E" "1\x0F\n";
    const CDecodedText text = DecodeFileText(old);
    ASSERT_EQ(text.eCode, ETextCode::Jis);
    EXPECT_TRUE(text.IsExact());
    EXPECT_EQ(text.strText, "\x8A\xBFx\xB1\n");
    EXPECT_EQ(Encoded(text.strText, ETextCode::Jis, text.forms), old);
    // Kanji left open at the end, or a redundant escape, cannot be written
    // back the same: named with the line.
    for (const std::string &odd : {std::string("a\n\x1B$B4A"), std::string("a\n\x1B$B\x1B$B4A\x1B(B")}) {
        const CDecodedText irregular = DecodeFileText(odd);
        EXPECT_EQ(irregular.eCode, ETextCode::Jis);
        EXPECT_EQ(irregular.eProblem, ETextProblem::Irregular);
        EXPECT_EQ(irregular.nProblemLine, 2);
    }
}

TEST(FileCode, TagsAndCharsets)
{
    for (int i = 0; i < TEXT_CODE_COUNT; ++i) {
        const auto eCode = static_cast<ETextCode>(i);
        ETextCode eBack = ETextCode::Sjis;
        EXPECT_TRUE(ParseTextCodeTag(TextCodeTag(eCode), eBack));
        EXPECT_EQ(eBack, eCode);
    }
    ETextCode e;
    EXPECT_TRUE(ParseTextCodeTag("utf8bom", e));
    EXPECT_EQ(e, ETextCode::Utf8Bom);
    EXPECT_FALSE(ParseTextCodeTag("UTF", e));
    EXPECT_STREQ(TextCodeCharset(ETextCode::Jis), "ISO-2022-JP");
    EXPECT_STREQ(TextCodeCharset(ETextCode::Utf8Bom), "UTF-8");
}

TEST(FileCode, PlainRunStopsAtTheFirstByteThatIsNotTheSameInEveryCode)
{
    // Every place in and around the blocks scanned at once, the stop byte
    // alone and with a later one that must not be found instead.
    for (std::size_t nLength : {std::size_t(0), std::size_t(15), std::size_t(64), std::size_t(200)}) {
        const std::string plain(nLength, 'a');
        EXPECT_EQ(PlainTextRun(plain.data(), plain.size()), nLength);
    }
    for (const char chStop : {'\x80', '\xFF', '\x1B', '\x0E', '\x0F'}) {
        for (std::size_t nAt = 0; nAt < 150; ++nAt) {
            std::string text(200, 'a');
            text[nAt] = chStop;
            text[nAt + 1 + nAt % 40] = '\x82';
            EXPECT_EQ(PlainTextRun(text.data(), text.size()), nAt) << int(chStop) << " " << nAt;
            EXPECT_EQ(PlainTextRun(text.data(), nAt + 1), nAt);
        }
    }
    // Control bytes that every code reads alike do not stop it.
    const std::string controls = std::string("\x01\x0D\x0A\x0C\x1A\x1C\x7F\x00\x10\x1F", 10) + std::string(60, ' ');
    EXPECT_EQ(PlainTextRun(controls.data(), controls.size()), controls.size());
}
