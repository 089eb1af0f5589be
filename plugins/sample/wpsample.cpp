// WpSample.wpi: a plug-in with three commands, written as an example of the
// interface in wpplugin.h.
//
//   "カタカナに変換"   (type 1) hiragana and half-width katakana of the
//                      selection become full-width katakana; every other
//                      byte stays as it was.
//   "和暦の日付"       (type 0) inserts today's date as a Japanese era date,
//                      "令和8年5月1日".
//   "ルビを振る"       (type 2) wraps the selection in a ruby element with an
//                      empty reading to fill in.
//
// This source is UTF-8; the editor talks Shift-JIS, so the texts are
// converted with iconv when they are handed over. The selection is never
// converted: it is rewritten byte by byte, so that characters Unicode does
// not tell apart keep their codes.
#include "wpplugin.h"
#include "wpsample.h"

#include <iconv.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <string>

namespace {

std::string g_strResult;
std::string g_strResult2;

// UTF-8 to Shift-JIS; the texts of this file all have a Shift-JIS form.
std::string Sjis(const std::string &strUtf8)
{
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::string();
    std::string strOut(strUtf8.size() * 2 + 4, '\0');
    char *pIn = const_cast<char *>(strUtf8.data());
    std::size_t nIn = strUtf8.size();
    char *pOut = strOut.data();
    std::size_t nOut = strOut.size();
    const bool bOk = iconv(cd, &pIn, &nIn, &pOut, &nOut) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    if (!bOk)
        return std::string();
    strOut.resize(strOut.size() - nOut);
    return strOut;
}

// Copies a text into one of the editor's buffers, cut to its size.
void CopyText(char *pszBuffer, int nSize, const std::string &strText)
{
    if (nSize <= 0)
        return;
    const std::size_t nCopy = std::min(strText.size(), static_cast<std::size_t>(nSize) - 1);
    std::memcpy(pszBuffer, strText.data(), nCopy);
    pszBuffer[nCopy] = '\0';
}

struct CCommand
{
    int nType;
    const char *pszFunction;
    const char *pszMenuText;
    const char *pszDescription;
};

const CCommand COMMANDS[] = {
    {WPPLUGIN_TYPE_SELECTION, "WpToKatakana", "カタカナに変換",
     "選択範囲のひらがなと半角カナを全角カタカナに変換します。"},
    {WPPLUGIN_TYPE_REPLACE, "WpEraDate", "和暦の日付", "今日の日付を和暦で挿入します。"},
    {WPPLUGIN_TYPE_WRAP, "WpRuby", "ルビを振る", "選択範囲を<ruby>タグで囲み、ルビを書く<rt>タグを付けます。"},
};

// Full-width forms of the half-width katakana 0xA1-0xDF, in Shift-JIS.
const unsigned short FULL_WIDTH_KANA[63] = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342, 0x8344, 0x8346, 0x8348, 0x8383, 0x8385,
    0x8387, 0x8362, 0x815B, 0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A, 0x834C, 0x834E, 0x8350, 0x8352,
    0x8354, 0x8356, 0x8358, 0x835A, 0x835C, 0x835E, 0x8360, 0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B,
    0x836C, 0x836D, 0x836E, 0x8371, 0x8374, 0x8377, 0x837A, 0x837D, 0x837E, 0x8380, 0x8381, 0x8382, 0x8384,
    0x8386, 0x8388, 0x8389, 0x838A, 0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B,
};

bool IsLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool IsTrailByte(unsigned char c)
{
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

void AppendCode(std::string &strOut, unsigned nCode)
{
    strOut += static_cast<char>(nCode >> 8);
    strOut += static_cast<char>(nCode & 0xFF);
}

} // namespace

std::string SampleToKatakana(const std::string &strText)
{
    std::string strOut;
    strOut.reserve(strText.size() * 2);
    for (std::size_t i = 0; i < strText.size();) {
        const auto c = static_cast<unsigned char>(strText[i]);
        if (i + 1 < strText.size() && IsLeadByte(c) && IsTrailByte(static_cast<unsigned char>(strText[i + 1]))) {
            const unsigned nCode = c << 8 | static_cast<unsigned char>(strText[i + 1]);
            if (nCode >= 0x829F && nCode <= 0x82F1) {
                // The hiragana run in step with the katakana, except that
                // the katakana skip the code 0x837F.
                const unsigned nOffset = nCode - 0x829F;
                AppendCode(strOut, nOffset < 63 ? 0x8340 + nOffset : 0x8380 + nOffset - 63);
            } else if (nCode == 0x8154 || nCode == 0x8155) {
                AppendCode(strOut, nCode - 2);  // the iteration marks ゝ ゞ
            } else {
                strOut.append(strText, i, 2);
            }
            i += 2;
            continue;
        }
        if (c >= 0xA1 && c <= 0xDF) {
            unsigned nCode = FULL_WIDTH_KANA[c - 0xA1];
            const unsigned char cNext = i + 1 < strText.size() ? static_cast<unsigned char>(strText[i + 1]) : 0;
            // A following sound mark joins the kana it can change.
            if (cNext == 0xDE && ((c >= 0xB6 && c <= 0xC4) || (c >= 0xCA && c <= 0xCE))) {
                nCode += 1;
                ++i;
            } else if (cNext == 0xDE && c == 0xB3) {
                nCode = 0x8394;
                ++i;
            } else if (cNext == 0xDF && c >= 0xCA && c <= 0xCE) {
                nCode += 2;
                ++i;
            }
            AppendCode(strOut, nCode);
            ++i;
            continue;
        }
        strOut += strText[i];
        ++i;
    }
    return strOut;
}

std::string SampleEraDate(int nYear, int nMonth, int nDay)
{
    struct CEra
    {
        int nYear, nMonth, nDay;
        const char *pszName;
    };
    static const CEra ERAS[] = {
        {2019, 5, 1, "令和"}, {1989, 1, 8, "平成"}, {1926, 12, 25, "昭和"}, {1912, 7, 30, "大正"}, {1873, 1, 1, "明治"},
    };
    const int nDate = nYear * 10000 + nMonth * 100 + nDay;
    for (const CEra &era : ERAS) {
        if (nDate < era.nYear * 10000 + era.nMonth * 100 + era.nDay)
            continue;
        const int nEraYear = nYear - era.nYear + 1;
        // Meiji counts its years from 1868, though its calendar began in 1873.
        const int nShown = era.nYear == 1873 ? nYear - 1867 : nEraYear;
        const std::string strYear = nShown == 1 ? "元" : std::to_string(nShown);
        return Sjis(std::string(era.pszName) + strYear + "年" + std::to_string(nMonth) + "月" + std::to_string(nDay)
                    + "日");
    }
    return Sjis(std::to_string(nYear) + "年" + std::to_string(nMonth) + "月" + std::to_string(nDay) + "日");
}

WPPLUGIN_EXPORT int QueryPulginCount(void)
{
    return static_cast<int>(sizeof COMMANDS / sizeof COMMANDS[0]);
}

WPPLUGIN_EXPORT int QueryPulgin(int nIndex, int *pnType, char *pszFunction, char *pszMenuText, char *pszDescription)
{
    if (nIndex < 0 || nIndex >= QueryPulginCount())
        return 0;
    const CCommand &command = COMMANDS[nIndex];
    *pnType = command.nType;
    CopyText(pszFunction, WPPLUGIN_NAME_SIZE, command.pszFunction);
    CopyText(pszMenuText, WPPLUGIN_NAME_SIZE, Sjis(command.pszMenuText));
    CopyText(pszDescription, WPPLUGIN_DESCRIPTION_SIZE, Sjis(command.pszDescription));
    return 1;
}

WPPLUGIN_EXPORT int SetDocumentPath(const char *pszPath)
{
    // None of these commands needs to know the document.
    (void)pszPath;
    return 1;
}

WPPLUGIN_EXPORT int WpToKatakana(char *pszSelection)
{
    g_strResult = SampleToKatakana(pszSelection);
    return g_strResult.empty() ? 0 : 1;
}

WPPLUGIN_EXPORT int WpEraDate(void)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!localtime_r(&now, &local))
        return 0;
    g_strResult = SampleEraDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    return g_strResult.empty() ? 0 : 1;
}

WPPLUGIN_EXPORT int WpRuby(void)
{
    g_strResult = "<ruby>";
    g_strResult2 = "<rp>(</rp><rt></rt><rp>)</rp></ruby>";
    return 1;
}

WPPLUGIN_EXPORT int QueryBufferSize(void)
{
    return static_cast<int>(g_strResult.size());
}

WPPLUGIN_EXPORT int WpGetBuffer(char *pszBuffer, int nSize)
{
    CopyText(pszBuffer, nSize, g_strResult);
    return 1;
}

WPPLUGIN_EXPORT int QueryBufferSize2(void)
{
    return static_cast<int>(g_strResult2.size());
}

WPPLUGIN_EXPORT int WpGetBuffer2(char *pszBuffer, int nSize)
{
    CopyText(pszBuffer, nSize, g_strResult2);
    return 1;
}
