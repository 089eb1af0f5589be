// The built-in kanji converter: its arithmetic against glibc iconv over the
// whole of JIS X 0208, detection, and the byte-level rules of each routine.
#include "support/testutil.h"
#include "text/codec.h"
#include "text/kanji.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <iconv.h>
#include <string>
#include <vector>

namespace {

// The reference converter, opened once per direction.
class CReference
{
public:
    CReference(const char *pszTo, const char *pszFrom) : m_cd(iconv_open(pszTo, pszFrom)) {}
    ~CReference()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    // False when iconv rejects any of the input.
    bool operator()(const std::string &in, std::string &out) const
    {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            return false;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        out.assign(in.size() * 4 + 16, '\0');
        char *pin = const_cast<char *>(in.data());
        std::size_t inleft = in.size();
        char *pout = out.data();
        std::size_t outleft = out.size();
        const bool bOk = iconv(m_cd, &pin, &inleft, &pout, &outleft) != static_cast<std::size_t>(-1)
                         && iconv(m_cd, nullptr, nullptr, &pout, &outleft) != static_cast<std::size_t>(-1);
        out.resize(static_cast<std::size_t>(pout - out.data()));
        return bOk;
    }

private:
    iconv_t m_cd;
};

// Our JIS output leaves kanji mode with ESC "(J", iconv with ESC "(B".
std::string AsciiOutToB(std::string s)
{
    for (std::size_t i = s.find("\x1b(J"); i != std::string::npos; i = s.find("\x1b(J", i))
        s[i + 2] = 'B';
    return s;
}

std::string Hex(const std::string &s)
{
    std::string out;
    char buf[4];
    for (unsigned char c : s) {
        std::snprintf(buf, sizeof buf, "%02X ", c);
        out += buf;
    }
    return out;
}

std::string From(const std::string &in, int nInCode, int nOutCode)
{
    return ConvertKanjiCodeFrom(in, nInCode, nOutCode);
}

// ---------------------------------------------------------------------------

TEST(KanjiIconv, EveryJisX0208CharacterMatchesIconvBothWays)
{
    const CReference toUnicode("UTF-32LE", "SHIFT_JIS");
    const CReference toEuc("EUC-JP", "SHIFT_JIS");
    const CReference toJis("ISO-2022-JP", "SHIFT_JIS");
    int nChecked = 0;
    std::vector<std::string> failures;
    std::string all;  // every character in one text, for the escape handling
    for (int c1 = 0x81; c1 <= 0xEA; ++c1) {
        if (c1 > 0x9F && c1 < 0xE0)
            continue;
        for (int c2 = 0x40; c2 <= 0xFC; ++c2) {
            if (c2 == 0x7F)
                continue;
            const std::string sjis{static_cast<char>(c1), static_cast<char>(c2)};
            std::string unicode;
            std::string euc;
            std::string jis;
            if (!toUnicode(sjis, unicode))
                continue;  // not a JIS X 0208 character
            ASSERT_TRUE(toEuc(sjis, euc)) << Hex(sjis);
            ASSERT_TRUE(toJis(sjis, jis)) << Hex(sjis);
            ++nChecked;
            all += sjis;
            const std::string strEuc = From(sjis, KANJI_SJIS, OUTCODE_EUC);
            const std::string strJis = AsciiOutToB(From(sjis, KANJI_SJIS, OUTCODE_JIS));
            const std::string strFromEuc = From(euc, KANJI_EUC, OUTCODE_SJIS);
            const std::string strFromJis = From(jis, KANJI_JIS, OUTCODE_SJIS);
            if (strEuc != euc || strJis != jis || strFromEuc != sjis || strFromJis != sjis)
                failures.push_back(Hex(sjis) + "-> euc " + Hex(strEuc) + "jis " + Hex(strJis)
                                   + "back " + Hex(strFromEuc) + "/ " + Hex(strFromJis));
        }
    }
    EXPECT_EQ(nChecked, 6879);  // the whole of JIS X 0208, rows 1 to 84
    EXPECT_TRUE(failures.empty()) << failures.size() << " mismatches, first: " << failures.front();

    std::string euc;
    std::string jis;
    ASSERT_TRUE(toEuc(all, euc));
    ASSERT_TRUE(toJis(all, jis));
    EXPECT_EQ(From(all, KANJI_SJIS, OUTCODE_EUC), euc);
    EXPECT_EQ(AsciiOutToB(From(all, KANJI_SJIS, OUTCODE_JIS)), jis);
    EXPECT_EQ(From(euc, KANJI_EUC, OUTCODE_SJIS), all);
    EXPECT_EQ(From(jis, KANJI_JIS, OUTCODE_SJIS), all);
    EXPECT_EQ(AsciiOutToB(From(jis, KANJI_JIS, OUTCODE_JIS)), jis);
    EXPECT_EQ(From(jis, KANJI_JIS, OUTCODE_EUC), euc);
    EXPECT_EQ(AsciiOutToB(From(euc, KANJI_EUC, OUTCODE_JIS)), jis);
}

// Row 13 (the NEC special characters) is no part of JIS X 0208 but lies in the
// same arithmetic; iconv's CP932 and EUC-JP-MS know it.
TEST(KanjiIconv, NecRow13MatchesEucJpMs)
{
    int nChecked = 0;
    for (int c2 = 0x40; c2 <= 0x9E; ++c2) {
        const std::string sjis{'\x87', static_cast<char>(c2)};
        std::string euc;
        std::string back;
        // Skip cells iconv folds onto row 2 (their twins there): no byte form
        // survives that.
        if (!CReference("EUC-JP-MS", "CP932")(sjis, euc) || !CReference("CP932", "EUC-JP-MS")(euc, back)
            || back != sjis)
            continue;
        ++nChecked;
        EXPECT_EQ(From(sjis, KANJI_SJIS, OUTCODE_EUC), euc) << Hex(sjis);
        EXPECT_EQ(From(euc, KANJI_EUC, OUTCODE_SJIS), sjis) << Hex(sjis);
    }
    EXPECT_GT(nChecked, 70);
}

TEST(KanjiTable, HalfWidthKanaWidenToTheirFullWidthCharacters)
{
    std::string kana;
    for (int c = 0xA1; c <= 0xDF; ++c)
        kana += static_cast<char>(c);
    const std::string expected = Utf8ToCp932(
        "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノ"
        "ハヒフヘホマミムメモヤユヨラリルレロワン゛゜");
    EXPECT_EQ(From(kana, KANJI_SJIS, OUTCODE_SJIS), expected);
    std::string euc;
    ASSERT_TRUE(CReference("EUC-JP", "CP932")(expected, euc));
    EXPECT_EQ(From(kana, KANJI_SJIS, OUTCODE_EUC), euc);
}

// ---------------------------------------------------------------------------

TEST(KanjiDetect, RealTextsInEachCode)
{
    const std::pair<const char *, int> aTexts[] = {
        {"essay.sjis.txt", KANJI_SJIS}, {"essay.euc.txt", KANJI_EUC}, {"essay.jis.txt", KANJI_JIS},
        {"page.sjis.html", KANJI_SJIS}, {"page.euc.html", KANJI_EUC}, {"page.jis.html", KANJI_JIS},
        {"kana.sjis.txt", KANJI_SJIS}, {"kana.euc.txt", KANJI_EUC}, {"mail.jis.eml", KANJI_JIS}};
    for (const auto &[pszName, nCode] : aTexts)
        EXPECT_EQ(DetectKanjiCode(ReadFileBytes(std::string(WP_TEST_DATA_DIR) + "/kanji/" + pszName)), nCode) << pszName;
}

TEST(KanjiDetect, ShortAndAmbiguousTexts)
{
    const std::string strAscii(1000, 'a');
    const struct { std::string text; int nCode; const char *pszWhy; } cases[] = {
        {"plain <b>ASCII</b>\r\n\t~\\", KANJI_UNKNOWN, "ASCII only"},
        {"", KANJI_UNKNOWN, "empty"},
        {"\x82\xa0", KANJI_SJIS, "Shift-JIS あ decides at the first pair"},
        {"\xb4\xc1\xbb\xfa", KANJI_EUC, "EUC 漢字: the second pair decides"},
        {"\x1b$@", KANJI_JIS, "old JIS kanji-in"},
        {"abc\x1bK", KANJI_JIS, "NEC kanji-in"},
        {"\x1b\x1b$B", KANJI_JIS, "an ESC after an ESC is examined again"},
        {"\x1b$A\x82\xa0", KANJI_SJIS, "unknown escape: the byte after $ is examined again"},
        {"\x1b(B", KANJI_UNKNOWN, "kanji-out alone says nothing"},
        {"\x8e\xb1", KANJI_SJIS, "EUC katakana or Shift-JIS kanji: one kind of pair"},
        {"\xe0\xa1", KANJI_SJIS, "0xE0-0xFC pair in the shared range only"},
        {"\x8e\xb1\xe0\xa1", KANJI_UNKNOWN, "both kinds of shared pair"},
        {"\x8e\x40", KANJI_SJIS, "0x8E before a low trail byte"},
        {"\xe0\xfd", KANJI_EUC, "0xFD is no Shift-JIS trail byte"},
        {"\xb1\xe0", KANJI_EUC, "katakana-range byte before 0xE0"},
        {"\xb1\xb2", KANJI_EUC, "shared pair and nothing after it"},
        {"\xb1\xb2" + strAscii + "\x82\xa0", KANJI_SJIS, "Shift-JIS pair within 1024 bytes"},
        {"\xb1\xb2" + strAscii + std::string(30, 'a') + "\x82\xa0", KANJI_EUC,
         "Shift-JIS pair beyond 1024 bytes"},
        {"\xb1\xb2 \x1b$B", KANJI_JIS, "escape found while resolving"},
        {"\x82", KANJI_UNKNOWN, "lead byte at the end"},
        {"\xb1", KANJI_UNKNOWN, "katakana-range byte at the end"},
        {"\xa0\xff\x80", KANJI_UNKNOWN, "bytes that are neither"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DetectKanjiCode(c.text), c.nCode) << c.pszWhy;
    EXPECT_EQ(ResolveSjisOrEuc(nullptr, 0), KANJI_EUC);
}

// ---------------------------------------------------------------------------

TEST(KanjiConvert, AsciiIsCopiedToEveryCode)
{
    const std::string text = "<p class=\"x\">a\\b~c</p>\r\n\x01\x7f";
    for (int nOut : {OUTCODE_SJIS, OUTCODE_EUC, OUTCODE_JIS})
        EXPECT_EQ(ConvertKanjiCode(text, nOut), text);
}

TEST(KanjiConvert, DetectsThenConvertsUpToTheFirstNul)
{
    EXPECT_EQ(ConvertKanjiCode("\xb4\xc1\xbb\xfa", OUTCODE_SJIS), Utf8ToCp932("漢字"));
    EXPECT_EQ(ConvertKanjiCode(std::string("\x1b$B0!\x1b(B", 8), OUTCODE_SJIS), "\x88\x9f");
    EXPECT_EQ(ConvertKanjiCode(std::string("\x82\xa0\0\x82\xa2", 5), OUTCODE_EUC), "\xa4\xa2");
    // An output code out of range means Shift-JIS.
    EXPECT_EQ(ConvertKanjiCode("\xb4\xc1\xbb\xfa", 7), Utf8ToCp932("漢字"));
}

TEST(KanjiConvert, OutputLongerThanAnyFixedMultipleStillFits)
{
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += "\xb1" "a";  // each katakana opens and closes kanji mode
    const std::string jis = From(text, KANJI_SJIS, OUTCODE_JIS);
    EXPECT_EQ(jis.size(), text.size() / 2 * 9);
    EXPECT_EQ(From(jis, KANJI_JIS, OUTCODE_SJIS), From(text, KANJI_SJIS, OUTCODE_SJIS));
}

// The closing escape comes after the last step, wherever the output happens
// to fill up: ASCII before the kanji moves the point where it does.
TEST(KanjiConvert, ClosingEscapeFitsAtAnyLength)
{
    for (int nPad = 0; nPad < 64; ++nPad) {
        for (int k = 1; k < 64; ++k) {
            std::string euc(static_cast<std::size_t>(nPad), 'a');
            for (int i = 0; i < k; ++i)
                euc += "\x8e\xb1\xb0\xa1";  // ｱ亜: SO ... SI and kanji mode in turn
            const std::string jis = From(euc, KANJI_EUC, OUTCODE_JIS);
            ASSERT_EQ(jis.size(), nPad + 11u * k) << nPad << " " << k;
            ASSERT_EQ(jis.substr(jis.size() - 8), "\x1b$B0!\x1b(J") << nPad << " " << k;
        }
    }
}

// ---------------------------------------------------------------------------

TEST(KanjiRoutines, ShiftJisInput)
{
    // ｱ to JIS; a lead byte before a byte that cannot trail, and at the end,
    // is written as it stands.
    EXPECT_EQ(From("\xb1", KANJI_SJIS, OUTCODE_JIS), "\x1b$B%\"\x1b(J");
    EXPECT_EQ(From("a\x82\xa0" "b\x82\xa0", KANJI_SJIS, OUTCODE_JIS),
              "a\x1b$B$\"\x1b(Jb\x1b$B$\"\x1b(J");
    EXPECT_EQ(From("\x82\x20\x80\xfd\xfe\xff\x82", KANJI_SJIS, OUTCODE_EUC), "\x82\x20\x80\xfd\xfe\xff\x82");
    EXPECT_EQ(From("\x82\xa0\x82", KANJI_SJIS, OUTCODE_JIS), "\x1b$B$\"\x1b(J\x82");
    EXPECT_EQ(From("\x88\x9f\n", KANJI_SJIS, OUTCODE_EUC), "\xb0\xa1\n");
    // Trail bytes in the katakana range are no katakana.
    EXPECT_EQ(From("\x82\xb1\xb1", KANJI_SJIS, OUTCODE_SJIS), "\x82\xb1\x83\x41");  // こ, then ｱ widened
}

TEST(KanjiRoutines, EucInput)
{
    EXPECT_EQ(From("\x8e\xb1", KANJI_EUC, OUTCODE_JIS), "\x0e\x31\x0f");
    EXPECT_EQ(From("\x8e\xb1", KANJI_EUC, OUTCODE_SJIS), "\x83\x41");
    EXPECT_EQ(From("\x8e\xb1\x8e\x41", KANJI_EUC, OUTCODE_EUC), "\xa5\xa2\x41");
    EXPECT_EQ(From("\xb4\xc1\x8e\xb1\xb0\x41", KANJI_EUC, OUTCODE_EUC), "\xb4\xc1\xa5\xa2\xb0\x41");
    // JIS X 0212 (SS3) has no Shift-JIS form: its two bytes are kept.
    EXPECT_EQ(From("\x8f\xb0\xa1", KANJI_EUC, OUTCODE_SJIS), "\xb0\xa1");
    EXPECT_EQ(From("\x8f\xb0\xa1", KANJI_EUC, OUTCODE_JIS), "\x1b$B\xb0\xa1\x1b(J");
    // A pair whose second byte is invalid is copied; truncated sequences too.
    EXPECT_EQ(From("\xb0\x41\xb0", KANJI_EUC, OUTCODE_SJIS), "\xb0\x41\xb0");
    EXPECT_EQ(From("\x8e", KANJI_EUC, OUTCODE_SJIS), "\x8e");
    EXPECT_EQ(From("\x8f\xb0", KANJI_EUC, OUTCODE_SJIS), "\x8f\xb0");
    // Katakana and kanji take turns: kanji never follow SO directly.
    EXPECT_EQ(From("\x8e\xb1\xb0\xa1\x8e\xb1" "a", KANJI_EUC, OUTCODE_JIS),
              "\x0e\x31\x0f\x1b$B0!\x1b(J\x0e\x31\x0f" "a");
    EXPECT_EQ(From("\xb0\xa1", KANJI_EUC, OUTCODE_JIS), "\x1b$B0!\x1b(J");
}

TEST(KanjiRoutines, JisInputEscapesAndShifts)
{
    const struct { std::string jis; std::string sjis; const char *pszWhy; } cases[] = {
        {"\x1b$B0!\x1b(B", "\x88\x9f", "亜"},
        {"\x1b$@0!\x1b(J", "\x88\x9f", "old kanji-in"},
        {"\x1bK0!\x1bHa", "\x88\x9f" "a", "NEC escapes"},
        {"\x1b$B0!\x1b(H0!", "\x88\x9f" "0!", "(H leaves kanji mode"},
        {"\x1b$B0!\n0!\x1b(B", "\x88\x9f\n\x88\x9f", "control bytes inside kanji mode"},
        {"\x1b$A\x1b(Xa", "\x1b$A\x1b(Xa", "unknown escapes are kept"},
        {"a\x1b", "a\x1b", "ESC at the end"},
        {"a\x1b$", "a\x1b$", "ESC $ at the end"},
        {"\x1b$B0", "0", "half a pair at the end"},
        {"\x1b$B\xb0\xa1", "\xb0\xa1", "8-bit pair written unchanged"},
        {"\x0e\x31\x0f\x31", "\x83\x41" "1", "7-bit katakana inside SO ... SI"},
        {"\x0e\xb1\x0f", "\x83\x41", "8-bit katakana inside SO ... SI"},
        {"\x0e\xe0\x60\x0f", "\xe0\x60", "no katakana above 0xDF or 0x5F"},
        {"\xb1", "\xb1", "8-bit katakana outside SO stay half-width"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(From(c.jis, KANJI_JIS, OUTCODE_SJIS), c.sjis) << c.pszWhy;
    EXPECT_EQ(From("\x1bK0!\x1bH\x0e\x31\x0f", KANJI_JIS, OUTCODE_EUC), "\xb0\xa1\xa5\xa2");
    // Inside kanji mode SO changes nothing: the byte is half a pair.
    EXPECT_EQ(From("\x1bK0!\x0e\x31\x0f", KANJI_JIS, OUTCODE_EUC), "\xb0\xa1" "1");
}

TEST(KanjiRoutines, JisNormalisedWritesCanonicalEscapes)
{
    EXPECT_EQ(From("\x1bK0!\x1bH", KANJI_JIS, OUTCODE_JIS), "\x1b$B0!\x1b(J");
    EXPECT_EQ(From("\x1b$@0!", KANJI_JIS, OUTCODE_JIS), "\x1b$B0!\x1b(J");
    EXPECT_EQ(From("a\x0e\x31\x0f" "b", KANJI_JIS, OUTCODE_JIS), "a\x1b$B%\"\x1b(Jb");
    EXPECT_EQ(From("\x1b$B0!\x1b$B0!\x1b(B\x1b(B", KANJI_JIS, OUTCODE_JIS), "\x1b$B0!0!\x1b(J");
    // Lines end outside kanji mode.
    EXPECT_EQ(From("\x1b$B0!\r\n0!", KANJI_JIS, OUTCODE_JIS), "\x1b$B0!\x1b(J\r\n\x1b$B0!\x1b(J");
}

} // namespace
