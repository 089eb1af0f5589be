// Building the replacement text of a match: group references, case escapes
// and byte escapes. Case conversion changes ASCII letters only and leaves both
// bytes of a double-byte character alone, so it never turns one character
// into another.
#include "search/regex.h"
#include "search/regex_node.h"

#include "text/sjis.h"

namespace {

enum ECaseMode
{
    CASE_KEEP,
    CASE_UPPER,
    CASE_LOWER,
};

unsigned char ConvertCase(unsigned char c, ECaseMode nMode)
{
    if (nMode == CASE_UPPER && c >= 'a' && c <= 'z')
        return static_cast<unsigned char>(c - 'a' + 'A');
    if (nMode == CASE_LOWER && c >= 'A' && c <= 'Z')
        return static_cast<unsigned char>(c - 'A' + 'a');
    return c;
}

class CSubstituter
{
public:
    CSubstituter(std::string_view text, const RegexRegisters &regs, std::string &strOut)
        : m_text(text), m_regs(regs), m_strOut(strOut)
    {
    }

    int Run(const unsigned char *p);

private:
    void Put(unsigned char c)
    {
        if (m_nOnce != CASE_KEEP) {
            c = ConvertCase(c, m_nOnce);
            m_nOnce = CASE_KEEP;
        } else {
            c = ConvertCase(c, m_nMode);
        }
        m_strOut += static_cast<char>(c);
    }
    void PutDoubleByte(unsigned char chLead, unsigned char chTrail)
    {
        m_nOnce = CASE_KEEP;  // the next character had no case to change
        m_strOut += static_cast<char>(chLead);
        m_strOut += static_cast<char>(chTrail);
    }
    bool PutGroup(int n);

    std::string_view m_text;
    const RegexRegisters &m_regs;
    std::string &m_strOut;
    ECaseMode m_nMode = CASE_KEEP;
    ECaseMode m_nOnce = CASE_KEEP;
};

bool CSubstituter::PutGroup(int n)
{
    if (!m_regs.IsSet(n))
        return false;
    const int nStart = m_regs.nStart[n];
    const int nEnd = m_regs.nEnd[n];
    if (nStart > nEnd || static_cast<std::size_t>(nEnd) > m_text.size())
        return false;
    if (m_nMode == CASE_KEEP && m_nOnce == CASE_KEEP) {
        m_strOut.append(m_text.substr(static_cast<std::size_t>(nStart), static_cast<std::size_t>(nEnd - nStart)));
        return true;
    }
    const char *psz = m_text.data();
    int i = nStart;
    // A group that starts on the second byte of a character copies that byte as it is.
    if (SjisByteKindAt(psz, static_cast<int>(m_text.size()), i) == SJIS_TRAIL)
        m_strOut += psz[i++];
    while (i < nEnd) {
        if (SjisCharLength(psz + i, static_cast<std::size_t>(nEnd - i)) == 2) {
            PutDoubleByte(static_cast<unsigned char>(psz[i]), static_cast<unsigned char>(psz[i + 1]));
            i += 2;
        } else {
            Put(static_cast<unsigned char>(psz[i++]));
        }
    }
    return true;
}

int CSubstituter::Run(const unsigned char *p)
{
    while (*p) {
        if (IsSjisLeadByte(p[0]) && IsSjisTrailByte(p[1])) {
            PutDoubleByte(p[0], p[1]);
            p += 2;
            continue;
        }
        if (*p != '\\') {
            Put(*p++);
            continue;
        }
        const unsigned char c = p[1];
        if (c == 0)
            return -1;
        if (IsSjisLeadByte(c) && IsSjisTrailByte(p[2])) {
            PutDoubleByte(c, p[2]);
            p += 3;
            continue;
        }
        p += 2;
        unsigned char chByte = c;
        switch (c) {
        case '0': case '1': case '2': case '3': case '4':
        case '5': case '6': case '7': case '8': case '9':
            if (!PutGroup(c - '0'))
                return -1;
            continue;
        case 'U':
            m_nMode = CASE_UPPER;
            continue;
        case 'L':
            m_nMode = CASE_LOWER;
            continue;
        case 'E':
        case 'e':
            m_nMode = CASE_KEEP;
            continue;
        case 'u':
            m_nOnce = CASE_UPPER;
            continue;
        case 'l':
            m_nOnce = CASE_LOWER;
            continue;
        case 'a': chByte = 7; break;
        case 'b': chByte = 8; break;
        case 'n': chByte = 10; break;
        case 'r': chByte = 13; break;
        case 't': chByte = 9; break;
        case 'd':
        case 'o':
        case 'x':
        {
            // A malformed number ends the replacement here.
            const int nDigits = c == 'x' ? 2 : 3;
            int nValue;
            if (!RegexReadNumber(p, c == 'd' ? 10 : c == 'o' ? 8 : 16, nDigits, nValue))
                return 0;
            p += nDigits;
            chByte = static_cast<unsigned char>(nValue);
            break;
        }
        default:
            break;
        }
        Put(chByte);
    }
    return 0;
}

} // namespace

int RegexSubstitute(const char *pszReplacement, std::string_view text, const RegexRegisters &regs,
                    std::string &strResult)
{
    strResult.clear();
    if (!pszReplacement)
        return 0;
    const int nResult = CSubstituter(text, regs, strResult).Run(reinterpret_cast<const unsigned char *>(pszReplacement));
    if (nResult != 0)
        strResult.clear();
    return nResult;
}
