// CNkfLibrary: our own implementation of the external kanji converter the
// editor calls for kanji import and export and for a few text conversions.
// Code conversion goes through glibc iconv (CP932 and EUC-JP-MS, which keep
// the NEC and IBM extensions); half-width and full-width forms use our tables.
//
// Nothing is dropped: a byte sequence with no form in the target code is
// copied as it stands (a JIS X 0208 cell that iconv does not know takes its
// arithmetic Shift-JIS or EUC form instead, so it survives a round trip).
#pragma once

#include <string>
#include <string_view>

class CNkfLibrary
{
public:
    CNkfLibrary();  // loads itself, as the real library was loaded at start

    // Loaded means glibc iconv offers every code the conversions need. A
    // library that is not loaded does nothing in any of its entries.
    bool Load();
    void Unload() { m_bLoaded = false; }
    bool IsLoaded() const { return m_bLoaded; }

    // Empty when not loaded.
    std::string GetNkfVersion() const;

    // Option letters: "s", "e", "j" choose Shift-JIS (CP932), EUC-JP or
    // ISO-2022-JP output; "m" decodes MIME encoded words ("m0" does not).
    // Every call starts from the defaults: JIS output, no MIME decoding.
    void SetNkfOption(std::string_view strOption);

    // Converts a text with the current options. For Shift-JIS output the input
    // may be in any of the three codes (it is detected); for EUC and JIS output
    // it is CP932. The whole text is converted: a NUL byte is kept like any
    // other control byte. False, and strOutput untouched, when not loaded.
    bool NkfConvert(std::string_view input, std::string &strOutput) const;

    // Full-width ASCII letters and digits and the full-width space become
    // half-width, in place. False (text untouched) when not loaded.
    bool ToHankaku(std::string &strText) const;

    // Half-width katakana become full-width, a voiced or semi-voiced mark
    // joined with the kana before it. False when not loaded.
    bool ToZenkakuKana(std::string_view input, std::string &strOutput) const;

private:
    bool m_bLoaded = false;
    int m_nOutCode;
    bool m_bMime = false;
};

// The process's one instance.
CNkfLibrary &NkfLibrary();

// The conversions behind the library, for callers that know the code.
// NkfGuessCode answers KANJI_SJIS, KANJI_EUC or KANJI_JIS (ASCII counts as
// Shift-JIS); NkfToCp932 takes KANJI_* codes, NkfFromCp932 OUTCODE_* codes.
int NkfGuessCode(std::string_view text);
std::string NkfToCp932(std::string_view text, int nKanjiCode);
std::string NkfFromCp932(std::string_view cp932, int nOutCode);
std::string NkfDecodeMime(std::string_view cp932);
std::string NkfWidenKana(std::string_view cp932);
void NkfNarrowAlnum(std::string &cp932);
