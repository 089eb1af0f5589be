// The text the conversion benchmarks work on.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

inline std::string ReadAll(const std::string &strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", strPath.c_str());
        std::exit(1);
    }
    std::ostringstream ss;
    ss << in.rdbuf();
    return std::move(ss).str();
}

inline void WriteAll(const std::string &strPath, const std::string &strBytes)
{
    std::ofstream out(strPath, std::ios::binary | std::ios::trunc);
    out.write(strBytes.data(), static_cast<std::streamsize>(strBytes.size()));
}

// Japanese HTML of about nBytes, CR LF line ends.
inline std::string MakeText(std::size_t nBytes)
{
    const std::string page = ReadAll(std::string(WP_TEST_DATA_DIR) + "/kanji/page.sjis.html");
    std::string strCrLf;
    for (const char ch : page) {
        if (ch == '\n' && (strCrLf.empty() || strCrLf.back() != '\r'))
            strCrLf += '\r';
        strCrLf += ch;
    }
    std::string text;
    text.reserve(nBytes + strCrLf.size());
    while (text.size() < nBytes)
        text += strCrLf;
    return text;
}

