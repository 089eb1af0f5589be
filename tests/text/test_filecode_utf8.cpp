// The fast UTF-8 loops against what the careful path and the codec say: every
// kind of character at every offset of the loops' blocks and vectors, blocks
// of every size, malformed bytes where the loops give up, and encoding into
// small output buffers. Each case runs with the vector loops and with the
// portable ones.
#include "text/codec.h"
#include "text/filecode.h"
#include "text/filecode_detail.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// Chooses the loops for one scope.
class CLoopChoice
{
public:
    explicit CLoopChoice(EUtf8Loops eLoops) { SetUtf8Loops(eLoops); }
    ~CLoopChoice() { SetUtf8Loops(BestUtf8Loops()); }
};

// Every kind of loop this processor can run.
std::vector<EUtf8Loops> LoopsHere()
{
    std::vector<EUtf8Loops> a;
    for (int n = 0; n <= static_cast<int>(BestUtf8Loops()); ++n)
        a.push_back(static_cast<EUtf8Loops>(n));
    return a;
}

// A file's bytes on the heap and nothing after them, so that reading past
// the end is caught by the address sanitizer.
class CExactBytes
{
public:
    explicit CExactBytes(const std::string &s) : m_p(new char[s.size()]), m_n(s.size()) { s.copy(m_p.get(), m_n); }
    std::string_view View() const { return {m_p.get(), m_n}; }

private:
    std::unique_ptr<char[]> m_p;
    std::size_t m_n;
};

// Encodes through an output buffer of nRoom bytes, written out when full.
std::string EncodeInBuffer(const std::string &sjis, ETextCode eCode, const CTextForms &forms, std::size_t nRoom,
                           std::size_t *pnFail = nullptr)
{
    const CExactBytes bytes(sjis);
    CTextEncoder encoder(eCode, forms);
    std::string out(encoder.Preamble());
    const std::unique_ptr<char[]> pBuffer(new char[nRoom]);
    const char *p = bytes.View().data();
    const char *const pEnd = p + sjis.size();
    for (;;) {
        char *q = pBuffer.get();
        const CTextEncoder::EStop eStop = encoder.Encode(p, pEnd, q, pBuffer.get() + nRoom);
        out.append(pBuffer.get(), static_cast<std::size_t>(q - pBuffer.get()));
        if (eStop == CTextEncoder::EStop::Unencodable) {
            if (pnFail)
                *pnFail = static_cast<std::size_t>(p - bytes.View().data());
            return out;
        }
        if (eStop == CTextEncoder::EStop::Done)
            break;
    }
    char tail[CTextEncoder::ENCODE_ROOM];
    char *q = tail;
    encoder.Finish(q);
    return out.append(tail, static_cast<std::size_t>(q - tail));
}

} // namespace

TEST(FileCodeUtf8, EncodingStopsAtTheCharacterWithoutAFormWhereverItStands)
{
    for (const EUtf8Loops eLoops : LoopsHere()) {
        const CLoopChoice loops(eLoops);
        for (std::size_t nAt = 0; nAt < 200; nAt += 3) {
            // A lead byte without a character, after kanji and ASCII; and a
            // lead byte that ends the text.
            const std::string ok = std::string(nAt, 'a') + "\x8A\xBF";
            std::size_t nFail = 0;
            const std::string out =
                EncodeInBuffer(ok + "\x85\x40" + std::string(100, 'b'), ETextCode::Utf8, {}, 300, &nFail);
            EXPECT_EQ(nFail, ok.size()) << "loops " << Utf8LoopsName(eLoops) << " at " << nAt;
            EXPECT_EQ(out, std::string(nAt, 'a') + "\xE6\xBC\xA2");
            nFail = 0;
            EncodeInBuffer(ok + "\x8A", ETextCode::Utf8, {}, 64, &nFail);
            EXPECT_EQ(nFail, ok.size());
        }
    }
}

namespace {

// What a decoder made of a text, for comparing the loops with each other.
struct CDecodeRun
{
    std::string out;
    CDecodedText result;
    bool bMalformed = false;
    bool bWide = false;
};

CDecodeRun DecodeWith(EUtf8Loops eLoops, const std::string &utf8, std::size_t nCap, bool bBail)
{
    const CLoopChoice loops(eLoops);
    const CExactBytes bytes(utf8);
    CUtf8StreamDecoder decoder(bytes.View(), bBail, false);
    CDecodeRun run;
    // No longer than the text even when the room given is: the decoder
    // writes no further than it reads (each half of a large file is decoded
    // straight into its place in the text).
    const std::unique_ptr<char[]> pBlock(new char[std::max<std::size_t>(std::min(nCap, utf8.size()), 4)]);
    while (const std::size_t n = decoder.Decode(pBlock.get(), nCap))
        run.out.append(pBlock.get(), n);
    run.result = decoder.Result();
    run.bMalformed = decoder.IsMalformed();
    run.bWide = decoder.IsWide();
    return run;
}

// The text, the first problem with its line and characters, the forms, the
// table and the flags.
::testing::AssertionResult SameRun(const CDecodeRun &run, const CDecodeRun &expected)
{
    const CDecodedText &a = run.result;
    const CDecodedText &b = expected.result;
    if (run.out != expected.out)
        return ::testing::AssertionFailure() << "the text differs";
    if (a.eProblem != b.eProblem || a.nProblemLine != b.nProblemLine || a.cProblem != b.cProblem
        || a.cProblemOther != b.cProblemOther)
        return ::testing::AssertionFailure() << "the problem differs: " << static_cast<int>(a.eProblem) << " in line "
                                             << a.nProblemLine << " instead of " << static_cast<int>(b.eProblem)
                                             << " in line " << b.nProblemLine;
    if (!(a.forms == b.forms) || !(a.extra == b.extra))
        return ::testing::AssertionFailure() << "the forms or the table differ: " << a.extra.ToWord() << " instead of "
                                             << b.extra.ToWord();
    if (run.bMalformed != expected.bMalformed || run.bWide != expected.bWide)
        return ::testing::AssertionFailure() << "the flags differ";
    return ::testing::AssertionSuccess();
}

// Every loop of this processor against the portable one.
void ExpectSameInEveryLoop(const std::string &utf8, std::size_t nCap, bool bBail)
{
    const CDecodeRun plain = DecodeWith(EUtf8Loops::Portable, utf8, nCap, bBail);
    for (const EUtf8Loops eLoops : LoopsHere()) {
        const CDecodeRun run = DecodeWith(eLoops, utf8, nCap, bBail);
        SCOPED_TRACE(testing::Message() << "loops " << Utf8LoopsName(eLoops) << ", blocks of " << nCap << ", bail "
                                        << bBail << ", " << utf8.size() << " bytes");
        ASSERT_TRUE(SameRun(run, plain));
    }
}

// Characters of Japanese text, more of the common ones: kanji, kana,
// punctuation, half-width katakana, and the rarer two-byte ones (Greek,
// Cyrillic, signs); dual-form characters in one form each.
const char *const JAPANESE[] = {
    "\xE6\xBC\xA2", "\xE5\xAD\x97", "\xE4\xB8\x80", "\xE9\xBE\xA0", "\xE7\xB5\xB5",  // 漢字一龠絵
    "\xE3\x81\x82", "\xE3\x82\x93", "\xE3\x82\xA2", "\xE3\x83\xB3",                  // あんアン
    "\xE3\x80\x81", "\xE3\x80\x82", "\xE3\x80\x8C", "\xEF\xBC\x81",                  // 、。「！
    "\xEF\xBD\xA1", "\xEF\xBD\xB1", "\xEF\xBE\x9D", "\xEF\xBE\x9F",                  // ｡ｱﾝﾟ
    "\xEF\xBD\x9E", "\xE2\x80\x95", "\xC2\xA2",                                      // ～ ― ¢(other form)
    "\xCE\xB1", "\xD0\x90", "\xC2\xA7", "\xC3\x97",                                  // α А § ×
};

// What the loops must leave to the careful path: malformed bytes, characters
// without a Shift-JIS form, the other form of a character used before.
const char *const FAULTS[] = {
    "\xE6\xBC",          // cut short
    "\xE6\x41\xA2",      // a continuation missing
    "\x80",              // a continuation alone
    "\xE0\x80\xAF",      // overlong
    "\xE0\x82\xA7",      // overlong, of a character with a Shift-JIS form
    "\xED\xA0\x80",      // surrogate
    "\xC1\xBF",          // overlong of two bytes
    "\xF8\x88\x80\x80",  // no lead byte
    "\xF0\x9F\x98\x80",  // beyond the basic plane
    "\xC3\xA9",          // no Shift-JIS form
    "\xF0\x80\x83\xA9",  // overlong of four bytes, of a character the table may hold
    "\xF4\x90\x80\x80",  // past U+10FFFF
    "\xEF\xBB\xBF",      // a byte-order mark inside the text
    "\xE3\x80\x9C",      // the other form of ～
    "\xE2\x80\x94",      // the other form of ―
};

const char *const ASCII_WORDS[] = {"<p>", "the", " ", "  ", "class=\"x\"", "\t", "2026", "</a>", "\\", "~"};
const char *const LINE_ENDS[] = {"\n", "\r\n", "\r"};

std::string JapaneseLikeText(std::mt19937 &rng, std::size_t nBytes, unsigned nFaultOdds)
{
    std::string s;
    while (s.size() < nBytes) {
        const unsigned nPick = rng() % 16;
        if (nFaultOdds && rng() % nFaultOdds == 0)
            s += FAULTS[rng() % std::size(FAULTS)];
        else if (nPick < 9)
            for (unsigned n = 1 + rng() % 12; n > 0; --n)
                s += JAPANESE[rng() % std::size(JAPANESE)];
        else if (nPick < 15)
            s += ASCII_WORDS[rng() % std::size(ASCII_WORDS)];
        else
            s += LINE_ENDS[rng() % std::size(LINE_ENDS)];
    }
    return s;
}

} // namespace

TEST(FileCodeUtf8, VectorBlocksAgreeWithThePortableLoopOnRandomJapaneseText)
{
    RecordProperty("best_loops", Utf8LoopsName(BestUtf8Loops()));
    std::mt19937 rng(1701);
    for (int nText = 0; nText < 240; ++nText) {
        // Clean texts, texts with a rare fault and texts full of them; short
        // ones end anywhere in a vector or block.
        const unsigned nFaultOdds = std::array<unsigned, 4>{0, 3000, 300, 25}[nText % 4];
        const std::size_t nBytes = nText < 232 ? rng() % 700 : 20000 + rng() % 50000;
        const std::string utf8 = JapaneseLikeText(rng, nBytes, nFaultOdds);
        for (const std::size_t nCap : {std::size_t(64), std::size_t(113), std::size_t(4096), utf8.size() + 1}) {
            ExpectSameInEveryLoop(utf8, nCap, false);
            ExpectSameInEveryLoop(utf8, nCap, true);
            if (testing::Test::HasFatalFailure())
                return;
        }
    }
}

namespace {

enum class EJoin
{
    Taken,
    Renumbered,
    DecodedOn,
};

// Decodes as a loader on two threads does: the text split at nAt, both parts
// decoded, the second's output taken (its codes of the table renumbered) or
// the rest decoded on from the first.
CDecodeRun DecodeSplitWith(EUtf8Loops eLoops, const std::string &utf8, std::size_t nAt, bool bBail, EJoin &eJoin)
{
    const CLoopChoice loops(eLoops);
    const CExactBytes bytes(utf8);
    CUtf8StreamDecoder first(bytes.View(), bBail, utf8.starts_with("\xEF\xBB\xBF"));
    CUtf8StreamDecoder second = first.Split(nAt);
    const auto decodeAll = [](CUtf8StreamDecoder &decoder, std::string &out) {
        char block[4096];
        while (const std::size_t n = decoder.Decode(block, sizeof block))
            out.append(block, n);
    };
    CDecodeRun run;
    std::string secondOut;
    decodeAll(first, run.out);
    decodeAll(second, secondOut);
    const bool bFirstMalformed = first.IsMalformed();
    CExtraRenumbering renumbering;
    eJoin = EJoin::DecodedOn;
    if (!first.Join(second, &renumbering)) {
        decodeAll(first, run.out);
    } else if (!bFirstMalformed) {
        RenumberExtraCodes(secondOut.data(), secondOut.size(), renumbering);
        run.out += secondOut;
        eJoin = renumbering.aCodes.empty() ? EJoin::Taken : EJoin::Renumbered;
    }
    EXPECT_TRUE(first.IsDone());
    run.result = first.Result();
    run.bMalformed = first.IsMalformed();
    run.bWide = first.IsWide();
    return run;
}

} // namespace

TEST(FileCodeUtf8, ATextDecodedInTwoPartsComesOutAsInOneWhereverItIsCut)
{
    // 〜 early and ～ (the two forms of one code) late, © early and é late
    // (characters of the table), an emoji, CR LF and a byte that is no UTF-8,
    // among runs long enough for the vector blocks; cut at every byte, also
    // inside characters and the byte-order mark.
    std::mt19937 rng(5);
    const auto filler = [&] { return JapaneseLikeText(rng, 130, 0); };
    std::string text = filler() + "\xE3\x80\x9C" + filler() + "\xC2\xA9\r\n" + filler() + "\xF0\x9F\x98\x80"
                       + filler() + "\xEF\xBD\x9E\xC3\xA9" + filler() + "\xFF" + filler() + "\r\n" + filler();
    std::array<int, 3> aJoins{};
    for (const std::string &utf8 : {text, "\xEF\xBB\xBF" + text.substr(0, 500)}) {
        for (const bool bBail : {false, true}) {
            for (const EUtf8Loops eLoops : LoopsHere()) {
                const CDecodeRun whole = DecodeWith(eLoops, utf8, 4096, bBail);
                for (std::size_t nAt = 0; nAt <= utf8.size(); ++nAt) {
                    SCOPED_TRACE(testing::Message() << "loops " << Utf8LoopsName(eLoops) << ", bail " << bBail
                                                    << ", cut at " << nAt << " of " << utf8.size());
                    EJoin eJoin = EJoin::DecodedOn;
                    const CDecodeRun split = DecodeSplitWith(eLoops, utf8, nAt, bBail, eJoin);
                    ASSERT_TRUE(SameRun(split, whole));
                    ++aJoins[static_cast<std::size_t>(eJoin)];
                }
            }
        }
    }
    // Every way was taken.
    EXPECT_EQ(std::count(aJoins.begin(), aJoins.end(), 0), 0) << aJoins[0] << " " << aJoins[1] << " " << aJoins[2];

    // More characters of the table on the two sides together than it takes:
    // those past the limit are "?" where the whole text has them.
    std::string hangul;
    for (char32_t c = 0xAC00; c < 0xAC00 + 2000; ++c)
        hangul += std::string(c % 50 ? "" : "\n") + static_cast<char>(0xE0 | c >> 12)
                  + static_cast<char>(0x80 | (c >> 6 & 0x3F)) + static_cast<char>(0x80 | (c & 0x3F));
    const CDecodeRun whole = DecodeWith(BestUtf8Loops(), hangul, 4096, false);
    ASSERT_EQ(whole.result.eProblem, ETextProblem::TooManyExtra);
    for (const std::size_t nAt : {hangul.size() / 4, hangul.size() / 2, hangul.size() * 3 / 4}) {
        EJoin eJoin = EJoin::Taken;
        EXPECT_TRUE(SameRun(DecodeSplitWith(BestUtf8Loops(), hangul, nAt, false, eJoin), whole)) << "cut at " << nAt;
    }
}
