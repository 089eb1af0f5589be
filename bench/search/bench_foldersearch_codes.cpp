// The folder search over Japanese text: a tree of Shift-JIS files, and the
// same texts as a mixed tree in which the files are Shift-JIS, UTF-8, EUC-JP
// and JIS in turn.
//
//   wp_bench_foldersearch_codes [--dir DIR] [--files N] [--runs N] [--sjis-only]
//
// The trees are generated once into DIR (default ./bench-data/foldersearch):
// N files (default 1200) of HTML-like lines, most a few tens of KB, every
// twentieth 400 KB, and every tenth of nothing but ASCII, whose first 200 KB
// are ASCII in every fiftieth (so the search reads past its first block
// before it meets a character beyond ASCII). Each search runs over a whole
// tree with subfolders; the best of the runs counts, after a warm-up run that
// fills the page cache. The number of matching lines is printed beside the
// time: the mixed tree must find what the Shift-JIS tree finds.
#include "besttime.h"
#include "search/foldersearch.h"
#include "text/filecode.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

namespace {

const char *const WORDS[] = {
    "\x93\xfa\x96\x7b\x8c\xea",          // 日本語
    "\x83\x65\x83\x4c\x83\x58\x83\x67",  // テキスト
    "\x95\xd2\x8f\x57",                  // 編集
    "\x82\xb1\x82\xea\x82\xcd",          // これは
    "\x95\x5c\x8e\xa6",                  // 表示
    "\x81\x41", "\x81\x42",              // 、。
    "\x8c\x9f\x8d\xf5",                  // 検索
    "\xb6\xc0\xb6\xc5",                  // ｶﾀｶﾅ
    "<p>", "</p>", "<a href=\"index.html\">", "</a>", "class", "value", "the", "2026",
};
const char *const ASCII_WORDS[] = {"int", "return", "{", "}", "value", "the", "static", "(x)", "2026", "//"};

class CCountingSink : public CFolderSearchSink
{
public:
    void OnResult(const CSearchResult &result) override
    {
        if (result.nKind == SEARCHRESULT_MATCH || result.nKind == SEARCHRESULT_REGEX_MATCH)
            ++nHits;
    }
    int nHits = 0;
};

std::string MakeLines(std::mt19937 &rng, std::size_t nBytes, bool bAscii)
{
    std::string text;
    text.reserve(nBytes + 256);
    while (text.size() < nBytes) {
        const int nLen = static_cast<int>(rng() % 100);
        const std::size_t nStart = text.size();
        while (static_cast<int>(text.size() - nStart) < nLen) {
            text += bAscii ? ASCII_WORDS[rng() % std::size(ASCII_WORDS)] : WORDS[rng() % std::size(WORDS)];
            if (rng() % 3)
                text += ' ';
        }
        // A rare word now and then, for the searches to find.
        if (rng() % 20000 == 0)
            text += bAscii ? "wrenpad_zq9" : "\x92\x54\x8d\xf5\x95\xb6\x8e\x9a wrenpad_zq9";  // 探索文字
        text += "\r\n";
    }
    return text;
}

void WriteAll(const std::filesystem::path &path, const std::string &bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
        std::perror(path.c_str());
        std::exit(1);
    }
}

void MakeTrees(const std::filesystem::path &dir, int nFiles)
{
    if (std::filesystem::exists(dir / "done"))
        return;
    std::mt19937 rng(4);
    const ETextCode aCodes[] = {ETextCode::Sjis, ETextCode::Utf8, ETextCode::Euc, ETextCode::Jis};
    for (int i = 0; i < nFiles; ++i) {
        const bool bAscii = i % 10 == 3;
        const std::size_t nBytes = i % 20 == 7 ? 400000 : 8000 + rng() % 40000;
        std::string text;
        if (i % 50 == 11)
            text = MakeLines(rng, 200000, true);
        text += MakeLines(rng, nBytes, bAscii);
        std::string strName = "d";
        strName += std::to_string(i % 30);
        strName += "/f";
        strName += std::to_string(i);
        strName += ".html";
        WriteAll(dir / "sjis" / strName, text);
        std::string coded;
        if (!EncodeFileText(text, aCodes[i % 4], CTextForms(), coded)) {
            std::fprintf(stderr, "cannot encode file %d\n", i);
            std::exit(1);
        }
        WriteAll(dir / "mixed" / strName, coded);
    }
    WriteAll(dir / "done", "");
}

} // namespace

int main(int argc, char **argv)
{
    int nRuns = 5;
    int nFiles = 1200;
    std::filesystem::path dir = "bench-data/foldersearch";
    bool bSjisOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc)
            nRuns = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--files" && i + 1 < argc)
            nFiles = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--dir" && i + 1 < argc)
            dir = argv[++i];
        else if (arg == "--sjis-only")
            bSjisOnly = true;
    }
    dir /= std::to_string(nFiles);
    MakeTrees(dir, nFiles);

    struct CCase
    {
        const char *pszName;
        const char *pszText;
        bool bIgnoreCase;
        bool bRegex;
    };
    const CCase aCases[] = {
        {"Japanese literal", "\x92\x54\x8d\xf5\x95\xb6\x8e\x9a", false, false},  // 探索文字
        {"ASCII literal", "wrenpad_zq9", false, false},
        {"ASCII literal, ignoring case", "WRENPAD_ZQ9", true, false},
        {"expression, Japanese prefix", "\x92\x54\x8d\xf5[^ ]+ wren", false, true},
    };
    std::printf("Folder search over %d files; best of %d runs after a warm-up\n", nFiles, nRuns);
    std::printf("%-30s %18s %18s\n", "search", "Shift-JIS tree", "mixed tree");
    for (const CCase &c : aCases) {
        char szCells[2][40] = {"-", "-"};
        int k = 0;
        for (const char *pszTree : {"sjis", "mixed"}) {
            if (bSjisOnly && k > 0)
                break;
            int nHits = 0;
            const double d = BestSeconds(nRuns, [&] {
                FolderSearchParams params{(dir / pszTree).string(), c.pszText, "*.html", c.bIgnoreCase, true, c.bRegex};
                CCountingSink sink;
                CFolderSearch search(params, sink);
                search.Run();
                nHits = sink.nHits;
            });
            std::snprintf(szCells[k++], sizeof szCells[0], "%7.4f s (%d)", d, nHits);
        }
        std::printf("%-30s %18s %18s\n", c.pszName, szCells[0], szCells[1]);
    }
    return 0;
}
