// Characters Shift-JIS lacks, held through the document's table of extra
// characters: files of every code that come back byte for byte, the limit of
// the table, and the fast UTF-8 loops finding what the table already holds.
#include "support/testutil.h"
#include "text/codec.h"
#include "text/codedfile.h"
#include "text/doctext.h"
#include "text/extrachars.h"
#include "text/filecode.h"
#include "text/filecode_detail.h"
#include "text/textbuffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Decodes a file's bytes in eCode and encodes them back: the bytes that come
// out, or a note of what went wrong.
std::string RoundTrip(const std::string &bytes, ETextCode eCode, CDecodedText *pDecoded = nullptr)
{
    const CDecodedText text = DecodeFileTextAs(bytes, eCode);
    if (pDecoded)
        *pDecoded = text;
    if (!text.IsExact())
        return "not exact: " + DescribeCodeProblem(CFileCodeState{text.eCode, text.forms, text.eProblem,
                                                                  text.nProblemLine, text.cProblem, 0, {}});
    std::string out;
    if (!EncodeFileText(text.strText, eCode, text.forms, out, nullptr, &text.extra))
        return "not encodable";
    return out;
}

} // namespace

TEST(ExtraChars, EveryCharacterOfJisX0212AndTheUserRowsComesBackThroughEucAndJis)
{
    // JIS X 0212 row by row (as many rows to a file as the table holds), then
    // the user-defined rows of JIS X 0208, each after a kanji of its own set.
    std::vector<std::pair<std::string, std::string>> files;  // EUC-JP, JIS
    int nRowsInFile = 0;
    for (int nRow = 0x21; nRow <= 0x7E; ++nRow) {
        if (files.empty() || nRowsInFile == 19) {
            files.emplace_back("\xB4\xC1", "\x1B$B4A");
            nRowsInFile = 0;
        }
        ++nRowsInFile;
        std::string euc;
        std::string jis = "\x1B$(D";
        for (int nCell = 0x21; nCell <= 0x7E; ++nCell) {
            const std::string pair = {static_cast<char>(nRow), static_cast<char>(nCell)};
            std::string probe = "\x8F" + std::string{static_cast<char>(nRow | 0x80), static_cast<char>(nCell | 0x80)};
            if (!DecodeFileTextAs(probe, ETextCode::Euc).IsExact())
                continue;  // no character there
            euc += probe;
            jis += pair;
        }
        if (euc.empty())
            continue;
        files.back().first += euc + "\n";
        files.back().second += jis + "\x1B(B\n";
    }
    {
        // Rows 89-92 are the NEC-selected IBM characters Shift-JIS has.
        std::string euc;
        std::string jis = "\x1B$B";
        for (const int nRowIn : {0x75, 0x76, 0x77, 0x78, 0x7D, 0x7E}) {
            for (int nCell = 0x21; nCell <= 0x7E; ++nCell) {
                euc += {static_cast<char>(nRowIn | 0x80), static_cast<char>(nCell | 0x80)};
                jis += {static_cast<char>(nRowIn), static_cast<char>(nCell)};
            }
        }
        files.emplace_back(euc + "\n", jis + "\x1B(B\n");
    }
    std::size_t nChars = 0;
    for (const auto &[euc, jis] : files) {
        CDecodedText text;
        ASSERT_TRUE(RoundTrip(euc, ETextCode::Euc, &text) == euc) << RoundTrip(euc, ETextCode::Euc).substr(0, 200);
        nChars += text.extra.Size();
        // The same characters in the other code, and through UTF-8 and back.
        std::string inJis;
        ASSERT_TRUE(EncodeFileText(text.strText, ETextCode::Jis, {}, inJis, nullptr, &text.extra));
        EXPECT_TRUE(inJis == jis) << inJis.substr(0, 100) << "\n" << jis.substr(0, 100);
        ASSERT_TRUE(RoundTrip(jis, ETextCode::Jis) == jis) << RoundTrip(jis, ETextCode::Jis).substr(0, 200);
        std::string utf8;
        ASSERT_TRUE(EncodeFileText(text.strText, ETextCode::Utf8, {}, utf8, nullptr, &text.extra));
        const CDecodedText fromUtf8 = DecodeFileTextAs(utf8, ETextCode::Utf8);
        // (A character of JIS X 0212 that Shift-JIS also has comes back in
        // its JIS X 0208 place: the same characters.)
        std::string eucAgain;
        ASSERT_TRUE(EncodeFileText(fromUtf8.strText, ETextCode::Euc, {}, eucAgain, nullptr, &fromUtf8.extra));
        const CDecodedText again = DecodeFileTextAs(eucAgain, ETextCode::Euc);
        std::string utf8Again;
        ASSERT_TRUE(EncodeFileText(again.strText, ETextCode::Utf8, {}, utf8Again, nullptr, &again.extra));
        EXPECT_TRUE(utf8Again == utf8);
    }
    EXPECT_GT(nChars, 6000u + 940u);
}

TEST(ExtraChars, TheTableHoldsEighteenHundredEightyCharactersAndTheNextIsNamed)
{
    CTempDir dir;
    std::string file = "<p>\xC2\xA9</p>\n";  // one of them in the first line, met again at the end
    for (char32_t c = 0x20000; c < 0x20000 + EXTRA_CHAR_LIMIT - 1; ++c) {
        AppendUtf8(file, c);
        file += c % 100 == 0 ? "\n" : "";
    }
    file += "\xC2\xA9\n";
    for (const bool bOver : {false, true}) {
        const std::string bytes = bOver ? file + "x\xF0\xAA\x80\x80\n" : file;  // U+2A000
        WriteFileBytes(dir.File("in"), bytes);
        CCrystalTextBuffer buffer;
        CFileCodeState state;
        ASSERT_TRUE(LoadCodedFile(buffer, dir.File("in"), state));
        EXPECT_EQ(state.eCode, ETextCode::Utf8);
        EXPECT_EQ(state.extra.Size(), EXTRA_CHAR_LIMIT);
        EXPECT_EQ(state.extra.Chars()[0], U'\u00A9');
        EXPECT_EQ(buffer.IsReadOnly(), bOver);
        if (!bOver) {
            ASSERT_TRUE(state.IsExact());
            ASSERT_TRUE(SaveCodedFile(buffer, dir.File("out"), state.eCode, state.forms, nullptr, -1, true,
                                      &state.extra));
            EXPECT_EQ(ReadFileBytes(dir.File("out")), bytes);
            continue;
        }
        EXPECT_EQ(state.eProblem, ETextProblem::TooManyExtra);
        const std::string strWhy = DescribeCodeProblem(state);
        EXPECT_NE(strWhy.find("U+2A000"), std::string::npos) << strWhy;
        EXPECT_NE(strWhy.find("1880"), std::string::npos) << strWhy;
        EXPECT_NE(strWhy.find(std::to_string(buffer.GetLineCount() - 1) + " 行目"), std::string::npos) << strWhy;
    }
}

TEST(ExtraChars, SavingInACodeThatLacksACharacterStopsAtIt)
{
    const CDecodedText text = DecodeFileTextAs("a\xC2\xA9\xF0\x9F\x98\x80", ETextCode::Utf8);
    ASSERT_TRUE(text.IsExact());
    std::string out;
    std::size_t nFail = 0;
    // The copyright sign is in JIS X 0212, the emoji in no Japanese set.
    EXPECT_FALSE(EncodeFileText(text.strText, ETextCode::Euc, {}, out, &nFail, &text.extra));
    EXPECT_EQ(nFail, 3u);
    EXPECT_FALSE(EncodeFileText(text.strText, ETextCode::Jis, {}, out, &nFail, &text.extra));
    EXPECT_EQ(nFail, 3u);
}

// Text typed or pasted into a document, and the document's text shown: the
// same character is the same code however it comes in, and what goes out is
// the character again.
TEST(ExtraChars, UnicodeTextMeetsTheDocumentThroughItsTable)
{
    // The document met © in its file.
    CDecodedText page = DecodeFileTextAs("<p>\xC2\xA9</p>", ETextCode::Utf8);
    CExtraChars &extra = page.extra;
    int nBad = -1;
    char32_t cFirst = 1;
    // ©, 日, the yen sign (no code of its own in a UTF-8 file), 😀, and a
    // user-defined character of the file.
    const std::string bytes = Utf16ToDocText(u"\u00A9\u65E5\u00A5\U0001F600\uE000", &extra, &nBad, &cFirst);
    EXPECT_EQ(bytes, "\xF0\x40\x93\xFA\xF0\x41\xF0\x42\xF0\x43");
    EXPECT_EQ(nBad, 0);
    EXPECT_EQ(cFirst, 0u);
    EXPECT_EQ(DocTextToUtf16(bytes, &extra), u"\u00A9\u65E5\u00A5\U0001F600\uE000");
    EXPECT_EQ(DocTextToUtf8(bytes + "\x80", &extra), "\xC2\xA9\xE6\x97\xA5\xC2\xA5\xF0\x9F\x98\x80\xEE\x80\x80\xEF\xBF\xBD");
    // Looking for text adds nothing: a character the table lacks cannot match.
    std::string found;
    EXPECT_TRUE(Utf16ToDocTextFound(u"\U0001F600!", &extra, found));
    EXPECT_EQ(found, "\xF0\x42!");
    EXPECT_EQ(SjisCharToUnicode("\xF0\x42", {}, &extra), U'\U0001F600');
    char32_t cMissing = 0;
    EXPECT_FALSE(Utf16ToDocTextFound(u"x\u00E9", &extra, found, &cMissing));
    EXPECT_EQ(cMissing, U'\u00E9');
    EXPECT_EQ(extra.Size(), 4u);
    // A file that met ～ before 〜 holds 〜 in its table: typed or looked for,
    // each form keeps its own code.
    const CDecodedText waves = DecodeFileTextAs("\xEF\xBD\x9E\xE3\x80\x9C", ETextCode::Utf8);
    ASSERT_EQ(waves.strText, "\x81\x60\xF0\x40");
    CExtraChars waveExtra = waves.extra;
    EXPECT_EQ(Utf16ToDocText(u"\u301C\uFF5E", &waveExtra), "\xF0\x40\x81\x60");
    EXPECT_TRUE(Utf16ToDocTextFound(u"\u301C", &waveExtra, found));
    EXPECT_EQ(found, "\xF0\x40");
    // A file that held one form only: the other form typed takes a code of
    // the table, and the file saved holds what was typed; looked for, the
    // other form cannot match. In EUC-JP and JIS both forms are one character.
    for (const char *pszFile : {"\xEF\xBD\x9E", "\xE3\x80\x9C"}) {
        CDecodedText one = DecodeFileTextAs(pszFile, ETextCode::Utf8);
        one.extra.SetForeignForms(ForeignForms(ETextCode::Utf8, one.forms));
        const bool bWave = one.forms.abOther[1];
        EXPECT_FALSE(Utf16ToDocTextFound(bWave ? u"\uFF5E" : u"\u301C", &one.extra, found)) << bWave;
        const std::string typed = Utf16ToDocText(u"\u301C\uFF5E", &one.extra);
        EXPECT_EQ(typed, bWave ? "\x81\x60\xF0\x40" : "\xF0\x40\x81\x60");
        std::string out;
        ASSERT_TRUE(EncodeFileText(typed, ETextCode::Utf8, one.forms, out, nullptr, &one.extra));
        EXPECT_EQ(out, "\xE3\x80\x9C\xEF\xBD\x9E");
        EXPECT_EQ(ForeignForms(ETextCode::Euc, one.forms), 0u);
    }

    // A Shift-JIS document: the codec's "?", the first named.
    EXPECT_EQ(Utf16ToDocText(u"a\u00E9b\U0001F600", nullptr, &nBad, &cFirst), "a?b?");
    EXPECT_EQ(nBad, 2);
    EXPECT_EQ(cFirst, U'\u00E9');
    // A full table.
    CExtraChars full;
    for (char32_t c = 0x20000; full.Add(c) != 0; ++c) {
    }
    EXPECT_EQ(Utf16ToDocText(u"\u00E9", &full, &nBad, &cFirst), "?");
    EXPECT_EQ(cFirst, U'\u00E9');

    // Another document's text takes this document's codes; a Shift-JIS one
    // has "?" for them.
    const CDecodedText other = DecodeFileTextAs("\xC3\xA9\xC2\xA9", ETextCode::Utf8);
    EXPECT_EQ(RemapExtraChars(other.strText, other.extra, &extra), "\xF0\x44\xF0\x40");
    EXPECT_EQ(RemapExtraChars(other.strText, other.extra, nullptr, &nBad, &cFirst), "??");
    EXPECT_EQ(cFirst, U'\u00E9');
    std::size_t nAt = 0;
    EXPECT_EQ(FindExtraChar("ab\x93\xFA\xF0\x41", extra, &nAt), U'\u00A5');
    EXPECT_EQ(nAt, 4u);
}

// A Shift-JIS text that goes to another code keeps its user-defined
// characters: the table it starts holds them at their own codes first.
TEST(ExtraChars, AShiftJisTextStartingATableKeepsItsUserDefinedCharacters)
{
    const std::string text = "a\xF0\x42\x81\x40\xF0\x40";
    CExtraChars extra;
    SeedExtraChars(extra, UserAreaCodesUsed(text));
    ASSERT_EQ(extra.Size(), 3u);
    EXPECT_EQ(Utf16ToDocText(u"\u00A9", &extra), "\xF0\x43");
    std::string utf8;
    ASSERT_TRUE(EncodeFileText(text, ETextCode::Utf8, {}, utf8, nullptr, &extra));
    EXPECT_EQ(utf8, "a\xEE\x80\x82\xE3\x80\x80\xEE\x80\x80");
    // Without a table they are the private-use characters they always were.
    ASSERT_TRUE(EncodeFileText(text, ETextCode::Utf8, {}, utf8));
    EXPECT_EQ(utf8, "a\xEE\x80\x82\xE3\x80\x80\xEE\x80\x80");
    // Nor does a Shift-JIS file take the codes of a table.
    std::size_t nFail = 0;
    EXPECT_FALSE(EncodeFileText("x\xF0\x43", ETextCode::Sjis, {}, utf8, &nFail, &extra));
    EXPECT_EQ(nFail, 1u);
    ASSERT_TRUE(EncodeFileText(text, ETextCode::Sjis, {}, utf8, nullptr, &extra));
    EXPECT_EQ(utf8, text);
}

TEST(ExtraChars, RenumberingRewritesTheCodesOfTheTableWhateverStandsBeside)
{
    // A kanji whose trail byte could lead a code, a run of bytes that could
    // all lead, codes whose own trail byte could lead, a lone such byte at
    // the end; an entry before the renumbered ones keeps its code. After
    // ASCII of every length, so that each falls anywhere in a vector.
    const auto code = [](std::size_t i) {
        const std::uint16_t nCode = CExtraChars::CodeOfIndex(i);
        return std::string{static_cast<char>(nCode >> 8), static_cast<char>(nCode & 0xFF)};
    };
    ASSERT_EQ(code(175), "\xF0\xF0");
    CExtraRenumbering renumbering;
    renumbering.nFirst = 1;
    for (std::size_t i = 1; i < 200; ++i)
        renumbering.aCodes.push_back(CExtraChars::CodeOfIndex(i + 300));
    for (std::size_t nAscii = 0; nAscii < 20; ++nAscii) {
        const std::string ascii(nAscii, 'a');
        std::string bytes = ascii + "\x88\xF0" + code(0) + code(1) + "\xE9\xE9" + code(2) + "\x81\xF5" + "a"
                            + code(175) + code(175) + "\xF0";
        RenumberExtraCodes(bytes.data(), bytes.size(), renumbering);
        EXPECT_EQ(bytes, ascii + "\x88\xF0" + code(0) + code(301) + "\xE9\xE9" + code(302) + "\x81\xF5" + "a"
                             + code(475) + code(475) + "\xF0")
            << nAscii;
    }
}
