#include "recovery/session.h"

#include "recovery/recordfiles.h"
#include "recovery/statefolder.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::string_view SESSION_MAGIC = "wrenpad-session 1";
// Panes and windows beyond any real layout are not restored.
constexpr int MAX_PANES = 4;
constexpr int MAX_SIZE = 1 << 20;

std::string Escape(std::string_view s)
{
    std::string out;
    for (char ch : s) {
        switch (ch) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += ch; break;
        }
    }
    return out;
}

bool Unescape(std::string_view s, std::string &out)
{
    out.clear();
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\') {
            out += s[i];
            continue;
        }
        if (++i >= s.size())
            return false;
        switch (s[i]) {
        case '\\': out += '\\'; break;
        case 't': out += '\t'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        default: return false;
        }
    }
    return true;
}

std::vector<std::string_view> Split(std::string_view line, char chSep)
{
    std::vector<std::string_view> aFields;
    std::size_t nStart = 0;
    for (;;) {
        const std::size_t n = line.find(chSep, nStart);
        aFields.push_back(line.substr(nStart, n == std::string_view::npos ? std::string_view::npos : n - nStart));
        if (n == std::string_view::npos)
            return aFields;
        nStart = n + 1;
    }
}

bool Number(std::string_view s, int &n, int nMin, int nMax)
{
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
    return ec == std::errc() && p == s.data() + s.size() && n >= nMin && n <= nMax;
}

bool Sizes(std::string_view s, std::vector<int> &aSizes)
{
    aSizes.clear();
    if (s.empty())
        return true;
    for (std::string_view part : Split(s, ',')) {
        int n = 0;
        if (!Number(part, n, 0, MAX_SIZE))
            return false;
        aSizes.push_back(n);
    }
    return aSizes.size() <= 2;
}

std::string JoinSizes(const std::vector<int> &aSizes)
{
    std::string s;
    for (std::size_t i = 0; i < aSizes.size(); ++i)
        s += (i ? "," : "") + std::to_string(aSizes[i]);
    return s;
}

} // namespace

std::string SerializeSession(const CSession &session)
{
    std::string s(SESSION_MAGIC);
    s += "\nmaximized\t" + std::to_string(session.bMaximized ? 1 : 0) + "\n";
    for (const CSessionWindow &w : session.aWindows) {
        s += "window\t" + Escape(w.strPath) + "\t" + std::to_string(w.nViewType) + "\t" + std::to_string(w.nRows)
             + "\t" + std::to_string(w.nColumns) + "\t" + JoinSizes(w.aRowSizes) + "\t" + JoinSizes(w.aColumnSizes)
             + "\t" + (w.bActive ? "1" : "0") + "\n";
        for (const CSessionPane &p : w.aPanes)
            s += "pane\t" + std::to_string(p.nCaretLine) + "\t" + std::to_string(p.nCaretChar) + "\t"
                 + std::to_string(p.nFirstLine) + "\t" + std::to_string(p.nFirstColumn) + "\n";
    }
    return s;
}

bool ParseSession(std::string_view text, CSession &session)
{
    session = CSession();
    std::vector<std::string_view> aLines = Split(text, '\n');
    if (aLines.empty() || aLines.front() != SESSION_MAGIC)
        return false;
    // Pane lines belong to the window line before them; a window line that
    // cannot be read takes its panes with it.
    bool bInWindow = false;
    for (std::size_t i = 1; i < aLines.size(); ++i) {
        const std::vector<std::string_view> f = Split(aLines[i], '\t');
        if (f[0] == "maximized" && f.size() == 2) {
            int n = 0;
            if (Number(f[1], n, 0, 1))
                session.bMaximized = n != 0;
        } else if (f[0] == "window") {
            CSessionWindow w;
            int nActive = 0;
            bInWindow = f.size() == 8 && Unescape(f[1], w.strPath) && !w.strPath.empty() && Number(f[2], w.nViewType, 0, 255)
                        && Number(f[3], w.nRows, 1, 2) && Number(f[4], w.nColumns, 1, 2) && Sizes(f[5], w.aRowSizes)
                        && Sizes(f[6], w.aColumnSizes) && Number(f[7], nActive, 0, 1);
            if (bInWindow) {
                w.bActive = nActive != 0;
                session.aWindows.push_back(std::move(w));
            }
        } else if (f[0] == "pane" && bInWindow) {
            CSessionPane p;
            CSessionWindow &w = session.aWindows.back();
            if (f.size() == 5 && Number(f[1], p.nCaretLine, 0, INT32_MAX) && Number(f[2], p.nCaretChar, 0, INT32_MAX)
                && Number(f[3], p.nFirstLine, 0, INT32_MAX) && Number(f[4], p.nFirstColumn, 0, INT32_MAX)
                && static_cast<int>(w.aPanes.size()) < MAX_PANES)
                w.aPanes.push_back(p);
        }
    }
    return true;
}

std::string SessionFilePath()
{
    return StateFolder() + "/session";
}

bool WriteSessionFile(const std::string &strPath, const CSession &session)
{
    const std::size_t nSlash = strPath.rfind('/');
    std::string strError;
    if (nSlash == std::string::npos || !EnsurePrivateFolder(strPath.substr(0, nSlash), strError))
        return false;
    std::string strTemp = strPath + ".XXXXXX";
    const CFileHandle fd(::mkostemp(strTemp.data(), O_CLOEXEC));
    if (!fd.IsOpen())
        return false;
    const std::string strText = SerializeSession(session);
    if (!fd.WriteFully(strText.data(), strText.size()) || ::fsync(fd.Get()) != 0
        || ::rename(strTemp.c_str(), strPath.c_str()) != 0) {
        ::unlink(strTemp.c_str());
        return false;
    }
    return true;
}

bool ReadSessionFile(const std::string &strPath, CSession &session)
{
    const CFileHandle fd = CFileHandle::Open(strPath, O_RDONLY);
    std::string strText;
    return fd.IsOpen() && fd.ReadToEnd(strText) && ParseSession(strText, session);
}
