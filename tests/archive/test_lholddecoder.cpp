// The -lh2- and -lh3- decoders on their own: the streams of the fixtures
// decode whole however they are read, and damage of any kind ends as
// damage, never as a read or write out of bounds (the tests run under the
// sanitizers).
#include "archive/archivetest.h"
#include "archive/lholddecoder.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// The data and length of an archive's first entry, whose header is of
// level 2.
struct CPacked
{
    std::string strData;
    std::uint64_t nLength = 0;
};

CPacked FirstEntry(const std::string &strArchive)
{
    return {strArchive.substr(LzhField(strArchive, 0, 2), LzhField(strArchive, 7, 4)), LzhField(strArchive, 11, 4)};
}

struct CMethodCase
{
    ELhOldMethod method;
    const char *pszArchive;
};

const CMethodCase METHODS[] = {{ELhOldMethod::Lh2, "samplelh2.lzh"}, {ELhOldMethod::Lh3, "samplelh3.lzh"}};

// An -lh3- block header of nCount symbols whose literal/length code gives
// the symbols in aLengths those lengths, and whose position code is the
// fixed one (position code 0 is "00"); the codes of the block follow.
CBitWriter Lh3Block(unsigned nCount, const std::vector<std::pair<int, unsigned>> &aLengths)
{
    CBitWriter bits;
    bits.Put(nCount, 16);
    for (int i = 0; i < 286; ++i) {
        unsigned nLen = 0;
        for (const auto &[nSymbol, n] : aLengths)
            if (nSymbol == i)
                nLen = n;
        bits.Put(nLen ? 1 : 0, 1);
        if (nLen)
            bits.Put(nLen - 1, 4);
    }
    bits.Put(0, 1);
    return bits;
}

// A block whose literal/length code is the one symbol nSymbol, of no bits.
std::string Lh3SingleBlock(unsigned nCount, unsigned nSymbol)
{
    CBitWriter bits;
    bits.Put(nCount, 16);
    for (int i = 0; i < 3; ++i)
        bits.Put(0b10000, 5);
    bits.Put(nSymbol, 9);
    bits.Put(0, 1);
    return bits.Bytes();
}

} // namespace

TEST(LhOldDecoder, CutOrCorruptedStreamsEndAsDamageWithinBounds)
{
    std::mt19937 random(20261207);
    for (const CMethodCase &c : METHODS) {
        SCOPED_TRACE(c.pszArchive);
        const CPacked packed = FirstEntry(ReadFileBytes(LzhFixture(c.pszArchive)));
        std::string strOut;
        ASSERT_TRUE(LhOldDecode(c.method, packed.strData, packed.nLength, strOut));
        // Cut anywhere, the last byte included: the bits run out first.
        for (std::size_t nCut : {std::size_t(0), std::size_t(1), std::size_t(40), packed.strData.size() / 2,
                                 packed.strData.size() - 1}) {
            EXPECT_FALSE(LhOldDecode(c.method, packed.strData.substr(0, nCut), packed.nLength, strOut)) << nCut;
            EXPECT_LT(strOut.size(), packed.nLength);
        }
        // A header that promises more than the stream holds.
        EXPECT_FALSE(LhOldDecode(c.method, packed.strData, packed.nLength + 1, strOut));
        // Bytes changed at random: whatever comes out is never longer than
        // the entry, and most such streams are found damaged on their own,
        // before the CRC is even looked at.
        int nDamaged = 0;
        const int nTrials = 200;
        for (int nTrial = 0; nTrial < nTrials; ++nTrial) {
            std::string strBad = packed.strData;
            for (int k = random() % 4; k >= 0; --k)
                strBad[random() % strBad.size()] = static_cast<char>(random());
            if (!LhOldDecode(c.method, strBad, packed.nLength, strOut))
                ++nDamaged;
            ASSERT_LE(strOut.size(), packed.nLength);
        }
        EXPECT_GT(nDamaged, nTrials / 2);
    }
}

TEST(LhOldDecoder, Lh3BlocksThatMakeNoUsableCodeAreDamage)
{
    std::string strOut;
    // One literal, of no bits, four times; then an empty stream for an
    // empty file.
    EXPECT_TRUE(LhOldDecode(ELhOldMethod::Lh3, Lh3SingleBlock(4, 'x'), 4, strOut));
    EXPECT_EQ(strOut, "xxxx");
    EXPECT_TRUE(LhOldDecode(ELhOldMethod::Lh3, "", 0, strOut));
    EXPECT_EQ(strOut, "");
    // The one symbol is none of the alphabet.
    EXPECT_FALSE(LhOldDecode(ELhOldMethod::Lh3, Lh3SingleBlock(4, 300), 4, strOut));
    // More codes of one bit than one bit has.
    CBitWriter tooMany = Lh3Block(2, {{'a', 1}, {'b', 1}, {'c', 2}});
    tooMany.Put(0, 8);
    EXPECT_FALSE(LhOldDecode(ELhOldMethod::Lh3, tooMany.Bytes(), 2, strOut));
    // A code with a gap: "0" is 'x', "1" is nothing.
    CBitWriter good = Lh3Block(2, {{'x', 1}});
    good.Put(0b00, 2);
    EXPECT_TRUE(LhOldDecode(ELhOldMethod::Lh3, good.Bytes(), 2, strOut));
    EXPECT_EQ(strOut, "xx");
    CBitWriter bad = Lh3Block(2, {{'x', 1}});
    bad.Put(0b01, 2);
    EXPECT_FALSE(LhOldDecode(ELhOldMethod::Lh3, bad.Bytes(), 2, strOut));
    EXPECT_EQ(strOut, "x");
    // 'x' is "0", a match of 3 is "1"; position 0 (one back) is "00"
    // and six zero bits. "x" then the match makes "xxxx"; the match
    // first reaches before the start; after "x" with a length of 3 it
    // runs past the end.
    auto stream = [](std::initializer_list<bool> aIsMatch) {
        CBitWriter bits = Lh3Block(static_cast<unsigned>(aIsMatch.size()), {{'x', 1}, {256, 1}});
        for (bool bMatch : aIsMatch) {
            bits.Put(bMatch, 1);
            if (bMatch)
                bits.Put(0, 8);
        }
        return bits.Bytes();
    };
    EXPECT_TRUE(LhOldDecode(ELhOldMethod::Lh3, stream({false, true}), 4, strOut));
    EXPECT_EQ(strOut, "xxxx");
    EXPECT_FALSE(LhOldDecode(ELhOldMethod::Lh3, stream({true, false}), 4, strOut));
    EXPECT_EQ(strOut, "");
    EXPECT_FALSE(LhOldDecode(ELhOldMethod::Lh3, stream({false, true}), 3, strOut));
    EXPECT_EQ(strOut, "x");
}

TEST(LhOldDecoder, Lh2MatchBeforeTheStartIsDamage)
{
    // In the first tree a match of 3 is "11000100"; the position tree holds
    // position code 0 alone, which takes no bits, then six bits of 0: one
    // byte back, before the first byte.
    std::string strOut;
    EXPECT_FALSE(LhOldDecode(ELhOldMethod::Lh2, std::string("\xC4\x00", 2), 3, strOut));
    EXPECT_EQ(strOut, "");
}
