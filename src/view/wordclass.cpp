#include "view/wordclass.h"

#include "text/sjis.h"

#include <vector>

namespace {

bool IsWordByte(unsigned char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsSpaceByte(unsigned char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

unsigned CodeAt(std::string_view line, int i)
{
    return (static_cast<unsigned char>(line[static_cast<std::size_t>(i)]) << 8)
           | static_cast<unsigned char>(line[static_cast<std::size_t>(i) + 1]);
}

int CharLen(std::string_view line, int i)
{
    return SjisCharLength(line.data() + i, line.size() - static_cast<std::size_t>(i));
}

ECharClass SingleClass(unsigned char c)
{
    if (IsWordByte(c))
        return CHARCLASS_WORD;
    if (IsSpaceByte(c))
        return CHARCLASS_SPACE;
    return CHARCLASS_PUNCT;
}

// The starts of the characters of the line before nPos, in order.
std::vector<int> CharStartsBefore(std::string_view line, int nPos)
{
    std::vector<int> starts;
    for (int i = 0; i < nPos; i += CharLen(line, i))
        starts.push_back(i);
    return starts;
}

// Whether a double-byte character continues a keyboard word run of class nRun.
bool ContinuesNavRun(ECharClass nRun, unsigned nCode)
{
    if (nCode == SJIS_PROLONGED_MARK)
        return nRun == CHARCLASS_HIRAGANA || nRun == CHARCLASS_KATAKANA;
    const ECharClass c = DbcsCharClass(nCode);
    if (nRun == CHARCLASS_DBCS_OTHER)
        return c == CHARCLASS_DBCS_OTHER;
    return c == nRun;
}

// The class that starts a keyboard word run: punctuation counts as other
// (it is skipped as one character), a lone "ー" as katakana.
ECharClass NavRunClass(unsigned nCode)
{
    if (nCode == SJIS_PROLONGED_MARK)
        return CHARCLASS_KATAKANA;
    const ECharClass c = DbcsCharClass(nCode);
    return c == CHARCLASS_DBCS_PUNCT ? CHARCLASS_DBCS_OTHER : c;
}

// Whether a double-byte character continues a mouse word run of class nRun.
bool ContinuesMouseRun(ECharClass nRun, unsigned nCode)
{
    if (nCode == SJIS_PROLONGED_MARK && (nRun == CHARCLASS_HIRAGANA || nRun == CHARCLASS_KATAKANA))
        return true;
    return DbcsCharClass(nCode) == nRun;
}

} // namespace

bool IsSjisHiragana(unsigned nCode)
{
    return nCode >= 0x829F && nCode <= 0x82F1;
}

bool IsSjisKatakana(unsigned nCode)
{
    return nCode >= 0x8340 && nCode <= 0x8396 && nCode != 0x837F;
}

bool IsDbcsWordBreak(unsigned nCode)
{
    return (nCode >= 0x8141 && nCode <= 0x8144) || nCode == 0x8146 || nCode == 0x815B
           || (nCode >= 0x8169 && nCode <= 0x817A) || nCode == 0x817C || nCode == 0x8183
           || nCode == 0x8184;
}

ECharClass DbcsCharClass(unsigned nCode)
{
    if (IsSjisHiragana(nCode))
        return CHARCLASS_HIRAGANA;
    if (IsSjisKatakana(nCode))
        return CHARCLASS_KATAKANA;
    if (IsDbcsWordBreak(nCode))
        return CHARCLASS_DBCS_PUNCT;
    return CHARCLASS_DBCS_OTHER;
}

int WordRightInLine(std::string_view line, int nPos)
{
    const int nLength = static_cast<int>(line.size());
    int i = nPos;
    if (i >= nLength)
        return nLength;
    if (CharLen(line, i) == 2) {
        const ECharClass nRun = NavRunClass(CodeAt(line, i));
        i += 2;
        while (i < nLength && CharLen(line, i) == 2 && ContinuesNavRun(nRun, CodeAt(line, i)))
            i += 2;
    } else {
        const ECharClass nFirst = SingleClass(static_cast<unsigned char>(line[static_cast<std::size_t>(i)]));
        if (nFirst != CHARCLASS_SPACE) {
            while (i < nLength && CharLen(line, i) == 1
                   && SingleClass(static_cast<unsigned char>(line[static_cast<std::size_t>(i)])) == nFirst)
                ++i;
        }
    }
    while (i < nLength && CharLen(line, i) == 1
           && IsSpaceByte(static_cast<unsigned char>(line[static_cast<std::size_t>(i)])))
        ++i;
    return i;
}

int WordLeftInLine(std::string_view line, int nPos)
{
    // Word left stops only where word right stops, walking from the line
    // start: both keys then meet the same boundaries in any mix of scripts,
    // whereas rules run backwards would, for one, join "、" to the kanji
    // before it that word right leaves apart.
    int nStop = 0;
    for (int i = 0; i < nPos;) {
        const int nNext = WordRightInLine(line, i);
        if (nNext >= nPos)
            break;
        nStop = i = nNext;
    }
    return nStop;
}

void MouseWordBounds(std::string_view line, int nPos, int &nStart, int &nEnd)
{
    const int nLength = static_cast<int>(line.size());
    nStart = nEnd = nPos;
    if (nPos < 0 || nPos >= nLength)
        return;

    // The test a character must pass to belong to the word under nPos.
    ECharClass nRun;
    bool bDouble = CharLen(line, nPos) == 2;
    const auto c = static_cast<unsigned char>(line[static_cast<std::size_t>(nPos)]);
    if (bDouble) {
        nRun = DbcsCharClass(CodeAt(line, nPos));
        // "ー" takes the class of the kana run it continues.
        if (CodeAt(line, nPos) == SJIS_PROLONGED_MARK) {
            const std::vector<int> before = CharStartsBefore(line, nPos);
            for (auto it = before.rbegin(); it != before.rend(); ++it) {
                if (CharLen(line, *it) != 2)
                    break;
                const unsigned nCode = CodeAt(line, *it);
                if (nCode == SJIS_PROLONGED_MARK)
                    continue;
                const ECharClass c = DbcsCharClass(nCode);
                if (c == CHARCLASS_HIRAGANA || c == CHARCLASS_KATAKANA)
                    nRun = c;
                break;
            }
        }
    } else if (IsSjisKana(c))
        nRun = CHARCLASS_KANA_HALF;
    else if (IsWordByte(c))
        nRun = CHARCLASS_WORD;
    else
        return;
    auto belongs = [&](int i) {
        if (CharLen(line, i) == 2)
            return bDouble && ContinuesMouseRun(nRun, CodeAt(line, i));
        if (bDouble)
            return false;
        const auto b = static_cast<unsigned char>(line[static_cast<std::size_t>(i)]);
        return nRun == CHARCLASS_KANA_HALF ? IsSjisKana(b) : IsWordByte(b);
    };

    int i = nPos;
    while (i < nLength && belongs(i))
        i += CharLen(line, i);
    nEnd = i;

    const std::vector<int> starts = CharStartsBefore(line, nPos);
    int k = static_cast<int>(starts.size()) - 1;
    while (k >= 0 && belongs(starts[static_cast<std::size_t>(k)]))
        --k;
    nStart = k + 1 < static_cast<int>(starts.size()) ? starts[static_cast<std::size_t>(k + 1)] : nPos;
}
