#include "text/filecodeguess.h"

#include "text/filecode.h"
#include "text/filehandle.h"
#include "text/kanji.h"
#include "text/utf8check.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

EFileCodeGuess GuessFileCode(std::string_view sample, bool bWhole)
{
    if (sample.empty())
        return FILECODE_EMPTY;
    if (sample.starts_with("\xEF\xBB\xBF"))
        return FILECODE_UTF8_BOM;
    if (sample.starts_with("\xFF\xFE") || sample.starts_with("\xFE\xFF"))
        return FILECODE_UTF16;
    if (sample.find('\0') != std::string_view::npos)
        return FILECODE_BINARY;
    if (CheckUtf8(sample, bWhole) == EUtf8Check::Wide)
        return FILECODE_UTF8;
    switch (DetectKanjiCode(sample)) {
    case KANJI_SJIS:
        return FILECODE_SJIS;
    case KANJI_EUC: {
        // As opening the file decides: half-width katakana in Shift-JIS only
        // look like EUC kanji. A sample is weighed up to its last ASCII byte,
        // so that a character cut by its end is not taken for a broken one.
        std::string_view whole = sample;
        if (!bWhole) {
            while (!whole.empty() && static_cast<unsigned char>(whole.back()) >= 0x80)
                whole.remove_suffix(1);
        }
        return EucReadingIsLikelier(whole) ? FILECODE_EUC : FILECODE_SJIS;
    }
    case KANJI_JIS:
        return FILECODE_JIS;
    default:
        break;
    }
    for (const char ch : sample)
        if (static_cast<unsigned char>(ch) >= 0x80)
            return FILECODE_UNKNOWN;
    return FILECODE_ASCII;
}

EFileCodeGuess GuessCodeOfFile(const std::string &strPath)
{
    constexpr std::size_t SAMPLE_BYTES = 64 * 1024;
    // Non-blocking, so that a pipe or a device never holds the caller up:
    // only regular files are read.
    const CFileHandle file = CFileHandle::Open(strPath, O_RDONLY | O_NONBLOCK);
    if (!file.IsOpen())
        return FILECODE_UNKNOWN;
    struct stat st;
    if (::fstat(file.Get(), &st) != 0 || !S_ISREG(st.st_mode))
        return FILECODE_UNKNOWN;
    std::string sample(SAMPLE_BYTES + 1, '\0');
    const ssize_t nHave = file.ReadFully(sample.data(), sample.size());
    if (nHave < 0)
        return FILECODE_UNKNOWN;
    sample.resize(static_cast<std::size_t>(nHave));
    const bool bWhole = sample.size() <= SAMPLE_BYTES;
    if (!bWhole)
        sample.resize(SAMPLE_BYTES);
    return GuessFileCode(sample, bWhole);
}

const char *FileCodeGuessName(EFileCodeGuess eGuess)
{
    switch (eGuess) {
    case FILECODE_EMPTY:
        return "(空のファイル)";
    case FILECODE_ASCII:
        return "ASCII (半角英数字のみ)";
    case FILECODE_SJIS:
        return "Shift-JIS";
    case FILECODE_EUC:
        return "EUC-JP";
    case FILECODE_JIS:
        return "JIS (ISO-2022-JP)";
    case FILECODE_UTF8:
        return "UTF-8";
    case FILECODE_UTF8_BOM:
        return "UTF-8 (BOM付き)";
    case FILECODE_UTF16:
        return "UTF-16";
    case FILECODE_BINARY:
        return "バイナリ";
    case FILECODE_UNKNOWN:
        break;
    }
    return "不明";
}

std::string FormatPermissions(unsigned nMode)
{
    std::string s = "---------";
    const char *pszLetters = "rwxrwxrwx";
    for (int i = 0; i < 9; ++i)
        if (nMode & (0400u >> i))
            s[static_cast<std::size_t>(i)] = pszLetters[i];
    // Set-user-id, set-group-id and sticky: lower case over an execute bit,
    // upper case where there is none.
    const struct
    {
        unsigned nBit;
        std::size_t nAt;
        char ch;
    } specials[] = {{04000, 2, 's'}, {02000, 5, 's'}, {01000, 8, 't'}};
    for (const auto &special : specials)
        if (nMode & special.nBit)
            s[special.nAt] = s[special.nAt] == 'x' ? special.ch : static_cast<char>(special.ch - 0x20);
    return s;
}
