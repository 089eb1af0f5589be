// A buffer read from and written to files in their own code.
#include "support/testutil.h"
#include "text/bufferutil.h"
#include "text/codedfile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

namespace {

// A buffer loaded from a file of a temporary folder, with the code state the load gave.
class CodedFile : public ::testing::Test
{
protected:
    // Writes the bytes to strName and loads that file.
    bool Load(const std::string &bytes, const std::string &strName = "in")
    {
        WriteFileBytes(dir.File(strName), bytes);
        return LoadCodedFile(buffer, dir.File(strName), state);
    }
    // The bytes the buffer saves in the state's code, or a note that the save failed.
    std::string Saved(const CExtraChars *pExtra = nullptr)
    {
        if (!SaveCodedFile(buffer, dir.File("out"), state.eCode, state.forms, nullptr, -1, true, pExtra))
            return "<save failed>";
        return ReadFileBytes(dir.File("out"));
    }

    CTempDir dir;
    CCrystalTextBuffer buffer;
    CFileCodeState state;
};

} // namespace

TEST_F(CodedFile, UnchangedFilesComeBackByteForByteWithTheirLineEnds)
{
    const std::string files[] = {
        "\xEF\xBB\xBF" "a\n\xE3\x81\x82",                     // with a mark, LF, no end
        std::string("\x8A\xBF\xF0\x40\0\xFF\n", 7),            // Shift-JIS, any bytes, a user-defined one
        "",                                                   // empty: read, not mapped
    };
    for (const std::string &bytes : files) {
        ASSERT_TRUE(Load(bytes));
        EXPECT_TRUE(state.IsExact());
        EXPECT_FALSE(buffer.IsReadOnly());
        EXPECT_TRUE(state.extra.IsEmpty());
        EXPECT_EQ(Saved(&state.extra), bytes);
    }
}

TEST_F(CodedFile, TypingIntoAUtf8FileSavesUtf8)
{
    ASSERT_TRUE(Load("<p>\xE3\x80\x9C</p>\n", "page.html"));  // <p>〜</p>
    ASSERT_EQ(state.eCode, ETextCode::Utf8);
    // The buffer holds Shift-JIS like every other document.
    EXPECT_EQ(buffer.GetLine(0), "<p>\x81\x60</p>");
    // 日本語 and a second wave dash, as the input method gives them.
    Insert(buffer, 1, 0, "\x93\xFA\x96\x7B\x8C\xEA\x81\x60", ACTION_UNKNOWN);
    ASSERT_TRUE(SaveCodedFile(buffer, dir.File("page.html"), state.eCode, state.forms));
    const std::string saved = ReadFileBytes(dir.File("page.html"));
    EXPECT_EQ(saved, "<p>\xE3\x80\x9C</p>\n\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x80\x9C");
    EXPECT_FALSE(buffer.IsModified());
}

TEST_F(CodedFile, FilesThatCannotComeBackOpenReadOnly)
{
    ASSERT_TRUE(Load("ok\n\x1B$B\x1B$B4A\x1B(B\n"));
    EXPECT_TRUE(buffer.IsReadOnly());
    const std::string strWhy = DescribeCodeProblem(state);
    EXPECT_NE(strWhy.find("2 行目"), std::string::npos) << strWhy;
    // The text is there to copy from.
    EXPECT_EQ(std::string(buffer.GetLineText(0), 2), "ok");

    // A code the user names for a file: invalid bytes make it read-only too.
    WriteFileBytes(dir.File("sjis"), "\x8A\xBF\x8E\x9A");
    ASSERT_TRUE(LoadCodedFile(buffer, dir.File("sjis"), state, ETextCode::Sjis, ETextCode::Utf8));
    EXPECT_EQ(state.eProblem, ETextProblem::Malformed);
    EXPECT_TRUE(buffer.IsReadOnly());
    ASSERT_TRUE(LoadCodedFile(buffer, dir.File("sjis"), state, ETextCode::Sjis, ETextCode::Sjis));
    EXPECT_TRUE(state.IsExact());
    EXPECT_FALSE(buffer.IsReadOnly());
}

TEST_F(CodedFile, ASaveTheCodeCannotHoldLeavesTheFileAsItWas)
{
    ASSERT_TRUE(Load("\xB4\xC1\xBB\xFA\n", "f"));  // 漢字
    ASSERT_EQ(state.eCode, ETextCode::Euc);
    Insert(buffer, 1, 0, "ab\xF0\x40", ACTION_UNKNOWN);  // a user-defined character
    CCodedSaveFailure failure;
    EXPECT_FALSE(SaveCodedFile(buffer, dir.File("f"), state.eCode, state.forms, &failure));
    EXPECT_TRUE(failure.bUnencodable);
    EXPECT_EQ(failure.nLine, 1);
    EXPECT_EQ(failure.nChar, 2);
    EXPECT_EQ(ReadFileBytes(dir.File("f")), "\xB4\xC1\xBB\xFA\n");
    EXPECT_TRUE(buffer.IsModified());
    EXPECT_EQ(ListDir(dir.Path()).size(), 1u);  // no temporary file left behind
}

TEST_F(CodedFile, AUtf8CharacterAcrossTheFirst64KbIsStillUtf8)
{
    // The first character beyond ASCII straddles the first 64 KB, which the
    // quick look at a file's start takes in: only the whole file decides.
    const std::string strHead(64 * 1024 - 6, 'a');
    ASSERT_TRUE(Load("line\n" + strHead + "\xE3\x81\x82\n"));  // あ from byte 65535 on
    EXPECT_EQ(state.eCode, ETextCode::Utf8);
    ASSERT_EQ(buffer.GetLineLength(1), static_cast<int>(strHead.size()) + 2);
    EXPECT_EQ(std::string(buffer.GetLineText(1) + strHead.size(), 2), "\x82\xA0");
}

TEST_F(CodedFile, FilesInOtherCodesTakeTheirLineEndsFromTheFirstBreakHoweverFar)
{
    // A minified UTF-8 page, an EUC-JP and a JIS file with a first line of
    // 40 KB and more: the break after it decides, as for Shift-JIS.
    const std::string strLong(300000, 'x');
    const struct
    {
        std::string strLead;  // a character that decides the code
        ETextCode eCode;
    } codes[] = {
        {"\xE3\x81\x82", ETextCode::Utf8},   // あ
        {"\xB4\xC1\xBB\xFA\x8E\xB1", ETextCode::Euc},  // 漢字ｱ
        {"\x1B$B$\"\x1B(B", ETextCode::Jis},
    };
    for (const auto &code : codes) {
        for (const std::size_t nLong : {std::size_t(40000), strLong.size()}) {
            for (const char *pszSep : {"\n", "\r"}) {
                const std::string bytes = code.strLead + strLong.substr(0, nLong) + pszSep + "b" + pszSep;
                ASSERT_TRUE(Load(bytes));
                EXPECT_EQ(state.eCode, code.eCode);
                EXPECT_EQ(buffer.GetLineEndMode(), *pszSep == '\n' ? LINEEND_LF : LINEEND_CR) << nLong;
                EXPECT_EQ(buffer.GetLineCount(), 3) << nLong;
                EXPECT_TRUE(Saved() == bytes) << nLong;
            }
        }
    }
}

TEST_F(CodedFile, FilesOfOneToFourBlocksLoadWholeWhileTheNextBlockIsDecodedAhead)
{
    // ASCII lines fill the loader's blocks of 256 KB exactly, so that the
    // decoding ends just at a block's end, one byte before or after it; a
    // kanji at the very end. Then a byte that is no UTF-8 in the last block,
    // found while the loader still cuts the block before.
    constexpr std::size_t BLOCK = 256 * 1024;
    for (const std::size_t nSize : {BLOCK - 1, BLOCK, BLOCK + 1, 2 * BLOCK, 2 * BLOCK + 2, 4 * BLOCK - 3}) {
        SCOPED_TRACE(testing::Message() << nSize << " bytes");
        std::string ascii;
        for (std::size_t i = 0; ascii.size() < nSize - 3; ++i)
            ascii += i % 61 == 60 ? '\n' : static_cast<char>('a' + i % 26);
        const std::string utf8 = ascii + "\xE6\xBC\xA2";
        const std::string sjis = ascii + "\x8A\xBF";
        ASSERT_TRUE(Load(utf8));
        EXPECT_EQ(state.eCode, ETextCode::Utf8);
        EXPECT_TRUE(Lines(buffer, '\n') == sjis) << "the text differs";

        std::string late = utf8;
        late[late.size() - 5] = '\xFF';
        ASSERT_TRUE(Load(late, "late"));
        EXPECT_EQ(state.eCode, ETextCode::Sjis);
        EXPECT_TRUE(Saved() == late) << "the file differs";
    }
}

TEST_F(CodedFile, LargeFilesDecodedInTwoHalvesAtOnceComeOutAsFromTheStart)
{
    // A file of over a megabyte is decoded and cut in two halves at once.
    // What the second half holds comes out as decoding from the start gives
    // it: ～ after 〜 took the shared code in the first half is a character
    // of the table; © met only in the second half is the table's first, and
    // after © in the first half, é and © in the second take the codes that
    // follow; a byte that is no UTF-8 there makes the file Shift-JIS, and
    // the same file named as UTF-8 names it by its line.
    struct CSide
    {
        std::string utf8;
        std::string sjis;
    };
    constexpr int LINES = 70000;
    constexpr int LATE_LINE = 60000;
    const auto file = [](const std::string &sep, const CSide &early, const CSide &late) {
        CSide f;
        for (int i = 0; i < LINES; ++i) {
            const CSide &extra = i == 10000 ? early : i == LATE_LINE ? late : CSide{};
            f.utf8 += "line \xE6\xBC\xA2\xE5\xAD\x97 text" + extra.utf8 + sep;
            f.sjis += "line \x8A\xBF\x8E\x9A text" + extra.sjis + "\n";
        }
        return f;
    };
    const CSide waveDash{"\xE3\x80\x9C", "\x81\x60"};
    const CSide fullTilde{"\xEF\xBD\x9E", "\xF0\x40"};
    const CSide copyright{"\xC2\xA9", "\xF0\x40"};

    const CSide dual = file("\n", waveDash, fullTilde);
    ASSERT_GT(dual.utf8.size(), CCrystalTextBuffer::HALVES_FROM);
    ASSERT_TRUE(Load(dual.utf8));
    EXPECT_EQ(state.eCode, ETextCode::Utf8);
    EXPECT_TRUE(state.IsExact());
    EXPECT_EQ(state.extra.Size(), 1u);
    EXPECT_TRUE(Lines(buffer, '\n') == dual.sjis) << "the text differs";
    EXPECT_TRUE(Saved(&state.extra) == dual.utf8) << "the file differs";

    const CSide table = file("\r\n", CSide{}, copyright);
    ASSERT_TRUE(Load(table.utf8));
    EXPECT_EQ(buffer.GetLineEndMode(), LINEEND_CRLF);
    EXPECT_EQ(state.extra.Size(), 1u);
    EXPECT_TRUE(Lines(buffer, '\n') == table.sjis) << "the text differs";
    EXPECT_TRUE(Saved(&state.extra) == table.utf8) << "the file differs";

    const CSide both = file("\n", copyright, CSide{"\xC3\xA9\xC2\xA9", "\xF0\x41\xF0\x40"});
    ASSERT_TRUE(Load(both.utf8));
    EXPECT_EQ(state.extra.ToWord(), "A9,E9");
    EXPECT_TRUE(Lines(buffer, '\n') == both.sjis) << "the text differs";

    const CSide bad = file("\n", waveDash, CSide{"\xFF", "?"});
    ASSERT_TRUE(Load(bad.utf8, "bad"));
    EXPECT_EQ(state.eCode, ETextCode::Sjis);
    EXPECT_TRUE(Saved() == bad.utf8) << "the file differs";
    ASSERT_TRUE(LoadCodedFile(buffer, dir.File("bad"), state, ETextCode::Sjis, ETextCode::Utf8));
    EXPECT_EQ(state.eProblem, ETextProblem::Malformed);
    EXPECT_EQ(state.nProblemLine, LATE_LINE + 1);
    EXPECT_TRUE(Lines(buffer, '\n') == bad.sjis) << "the text differs";
}

TEST_F(CodedFile, SavingInPiecesKeepsLineEndsAndNamesTheCharacterInTheWay)
{
    // Short lines far past the encoder's stage, a line longer than the stage
    // in the middle and one of exactly its size, kanji at both ends of lines
    // so that a JIS file switches mode across every piece.
    std::string sjis;
    for (int i = 0; i < 3000; ++i) {
        sjis += "\x8A\xBF line " + std::to_string(i) + " \x8E\x9A\n";
        if (i == 1500)
            sjis += std::string(70000, 'x') + "\x82\xA0\n" + std::string(64 * 1024 - 2, 'y') + "\n";
    }
    sjis += "\xB1";  // no line end after the last line
    for (const ETextCode eCode : {ETextCode::Utf8, ETextCode::Utf8Bom, ETextCode::Euc, ETextCode::Jis}) {
        for (const char *pszSep : {"\n", "\r\n", "\r"}) {
            std::string text = sjis;
            for (std::size_t k = 0; (k = text.find('\n', k)) != std::string::npos; k += std::strlen(pszSep))
                text.replace(k, 1, pszSep);
            std::string file;
            ASSERT_TRUE(EncodeFileText(text, eCode, CTextForms(), file));
            WriteFileBytes(dir.File("in"), file);
            ASSERT_TRUE(LoadCodedFile(buffer, dir.File("in"), state, ETextCode::Sjis, eCode));
            ASSERT_TRUE(state.IsExact()) << TextCodeTag(eCode);
            EXPECT_TRUE(Saved() == file) << TextCodeTag(eCode) << " differs";
        }
    }

    // A character without a UTF-8 form in a short line after the first stage,
    // and in the long line: its line and offset, and nothing written.
    const struct
    {
        int nLine;
        int nChar;
    } cases[] = {{2000, 5}, {1501, 69999}, {3001, 0}};
    for (const auto &c : cases) {
        ASSERT_TRUE(buffer.LoadFromMemory(sjis));
        Insert(buffer, c.nLine, c.nChar, "\x85\x40", ACTION_UNKNOWN);
        CCodedSaveFailure failure;
        EXPECT_FALSE(SaveCodedFile(buffer, dir.File("bad"), ETextCode::Utf8, CTextForms(), &failure));
        EXPECT_TRUE(failure.bUnencodable);
        EXPECT_EQ(failure.nLine, c.nLine);
        EXPECT_EQ(failure.nChar, c.nChar);
        EXPECT_FALSE(FileExists(dir.File("bad")));
    }
    EXPECT_EQ(ListDir(dir.Path()).size(), 2u);  // in and out; no temporary file left behind
}

TEST_F(CodedFile, AFilesCodeSurvivesAsOneLineAndOtherLinesAreRefused)
{
    const auto fields = [](const CFileCodeState &s) {
        return std::tie(s.eCode, s.forms, s.eProblem, s.nProblemLine, s.cProblem, s.cProblemOther, s.extra);
    };
    const std::string files[] = {
        "\xE3\x80\x9C\xE2\x88\x92\n",             // UTF-8: wave dash, minus sign (the other forms)
        "\xEF\xBB\xBF\xEF\xBD\x9E",               // with a mark: fullwidth tilde
        "\x1B$@4A\x1B(J\n\x0E\x31\x0F\n",         // JIS: old kanji escape, JIS Roman, kana shift
        "ok\n\xF0\x9F\x98\x80\xC2\xA9\n",         // characters only the table holds
        "\x8F\xA2\xED\xB4\xC1\n",                 // one of JIS X 0212 in EUC-JP
        "\xE3\x80\x9C\xEF\xBD\x9E\n",             // both forms of one character
    };
    for (const std::string &bytes : files) {
        ASSERT_TRUE(Load(bytes));
        const std::string strLine = CodeStateToLine(state);
        CFileCodeState back;
        ASSERT_TRUE(CodeStateFromLine(strLine, back)) << strLine;
        EXPECT_TRUE(fields(back) == fields(state)) << strLine;
        EXPECT_EQ(DescribeCodeProblem(back), DescribeCodeProblem(state));
        if (state.IsExact()) {
            // Written with the state read back, the file is what it was.
            state = back;
            EXPECT_EQ(Saved(&back.extra), bytes) << strLine;
        }
    }

    // Damaged or foreign lines leave the state alone.
    state = CFileCodeState();
    state.eCode = ETextCode::Euc;
    for (const char *psz : {"", "UTF8", "utf8 0000000 BB0 0 0 0 0", "UTF16 0000000 BB0 0 0 0 0",
                            "UTF8 000000 BB0 0 0 0 0", "UTF8 0000002 BB0 0 0 0 0", "UTF8 0000000 XB0 0 0 0 0",
                            "UTF8 0000000 BB0 6 0 0 0", "UTF8 0000000 BB0 0 -1 0 0", "UTF8 0000000 BB0 0 0 1114112 0",
                            "UTF8 0000000 BB0 0 0 0 0 0 0", "UTF8 0000000 BB0 0 0 0 0 A9,A9", "UTF8 0000000 BB0 0 0 0 0 a9",
                            "UTF8 0000000 BB0 0 0 0 0 D800", "UTF8 0000000 BB0 0 0 0 0 0", "UTF8  0000000 BB0 0 0 0 0", "UTF8 0000000 BB0 0 0 0 99999999999"}) {
        EXPECT_FALSE(CodeStateFromLine(psz, state)) << psz;
        EXPECT_EQ(state.eCode, ETextCode::Euc);
    }
}
