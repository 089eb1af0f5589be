// The contents of morelh2.lzh and morelh3.lzh in tests/data/archive/lzhmethods,
// made again here as MoreFixtures.java there made them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>

class CLzhFixtureContent
{
public:
    // Name in the archive -> bytes.
    static std::map<std::string, std::string> All()
    {
        return {
            {"text.txt", Text(200000)}, {"same.bin", std::string(70000, 'A')},
            {"random.bin", Random()},   {"far.bin", Far()},
            {"empty.bin", ""},
        };
    }

private:
    std::uint32_t m_nState;

    explicit CLzhFixtureContent(std::uint32_t nSeed) : m_nState(nSeed) {}

    int Next()
    {
        m_nState = m_nState * 1103515245u + 12345u;
        return static_cast<int>((m_nState >> 16) & 0x7fff);
    }

    // Words of one to three syllables, nine to a CR LF line.
    static std::string Text(std::size_t n)
    {
        static const char *const SYLLABLES[] = {
            "in", "re", "buf", "0x5C", "{", "}", "val", "//", "ue", "st",
            "\x93\xfa",  // 日
            "\x96\x7b",  // 本
            "\x83\x5c",  // ソ
            "\x95\x5c",  // 表
            "\x8e\x9a",  // 字
            "\x82\xa0",  // あ
        };
        CLzhFixtureContent gen(1);
        std::string s;
        for (int nWord = 1; s.size() < n; ++nWord) {
            for (int k = gen.Next() % 3; k >= 0; --k)
                s += SYLLABLES[gen.Next() % 16];
            s += nWord % 9 == 0 ? "\r\n" : " ";
        }
        s.resize(n);
        return s;
    }

    static std::string Noise(CLzhFixtureContent &gen, std::size_t n)
    {
        std::string s(n, '\0');
        for (char &c : s)
            c = static_cast<char>(gen.Next() >> 7);
        return s;
    }

    // 0 to 255, then runs of 64 bytes that are either noise or a copy of
    // an earlier run.
    static std::string Random()
    {
        std::string s;
        for (int i = 0; i < 256; ++i)
            s += static_cast<char>(i);
        CLzhFixtureContent gen(2);
        const std::string strNoise = Noise(gen, 40000);
        for (std::size_t nAt = 256; nAt < 256 + strNoise.size(); nAt += 64) {
            const std::size_t nLen = std::min<std::size_t>(64, 256 + strNoise.size() - nAt);
            if (nAt >= 256 + 64 && gen.Next() % 2 == 0)
                s += s.substr(256 + 64 * (gen.Next() % ((nAt - 256) / 64)), nLen);
            else
                s += strNoise.substr(nAt - 256, nLen);
        }
        return s;
    }

    static std::string Far()
    {
        CLzhFixtureContent gen(3);
        const std::string s = Noise(gen, 8192);
        return s + s.substr(0, 300);
    }
};
