#include "app/cmdline.h"

#include <algorithm>

namespace {

bool EqualsNoCase(const std::string &a, const char *b)
{
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        const unsigned char ca = static_cast<unsigned char>(a[i]);
        const unsigned char cb = static_cast<unsigned char>(b[i]);
        if ((ca >= 'A' && ca <= 'Z' ? ca + 32 : ca) != cb)
            return false;
    }
    return i == a.size() && !b[i];
}

} // namespace

EUnregMode ParseUnregSwitch(const std::vector<std::string> &args)
{
    if (args.empty() || args.size() > 2)
        return UNREG_NONE;
    const bool bUnreg = std::any_of(args.begin(), args.end(), [](const std::string &s) { return EqualsNoCase(s, "/unreg"); });
    if (!bUnreg)
        return UNREG_NONE;
    const bool bSilent = std::any_of(args.begin(), args.end(), [](const std::string &s) { return EqualsNoCase(s, "/s"); });
    return bSilent ? UNREG_SILENT : UNREG_CONFIRM;
}

std::vector<std::string> CommandLineFiles(const std::vector<std::string> &args)
{
    std::vector<std::string> files;
    bool bOptions = true;
    for (const std::string &arg : args) {
        if (bOptions && arg == "--") {
            bOptions = false;
            continue;
        }
        if (arg.empty() || (bOptions && arg[0] == '-'))
            continue;
        files.push_back(arg);
    }
    return files;
}

CPrintPdfArgs ParsePrintPdfArgs(const std::vector<std::string> &args)
{
    CPrintPdfArgs result;
    const auto it = std::find(args.begin(), args.end(), "--print-pdf");
    if (it == args.end())
        return result;
    result.bRequested = true;
    std::vector<std::string> operands;
    for (auto p = args.begin(); p != args.end(); ++p) {
        if (p == it)
            continue;
        // Options of the toolkit ("-platform offscreen") are not operands.
        if (*p == "-platform" || *p == "-display") {
            if (p + 1 != args.end())
                ++p;
            continue;
        }
        operands.push_back(*p);
    }
    if (operands.size() != 2) {
        result.strError = "usage: wrenpad --print-pdf OUT.pdf FILE";
        return result;
    }
    result.strOut = operands[0];
    result.strFile = operands[1];
    return result;
}

EInfoSwitch ParseInfoSwitch(const std::vector<std::string> &args)
{
    EInfoSwitch result = INFO_NONE;
    for (const std::string &arg : args) {
        if (arg == "--")
            break;
        if (arg == "--help" || arg == "-h")
            return INFO_HELP;
        if (arg == "--version")
            result = INFO_VERSION;
    }
    return result;
}

std::string CommandLineUsage(bool bJapanese)
{
    if (bJapanese)
        return "使い方: wrenpad [オプション]... [ファイル]...\n"
               "Shift-JIS のテキストと HTML を編集するエディタ。ファイルはそれぞれのタブに開きます。\n"
               "\n"
               "オプション:\n"
               "  --print-pdf OUT.pdf FILE  FILE を印刷と同じ体裁で PDF ファイル OUT.pdf に書き出して終了する\n"
               "                            (ウィンドウもディスプレイも使わない。終了状態 0: 成功、\n"
               "                            1: FILE が読めないか OUT.pdf が書けない、2: 引数の誤り)\n"
               "  /unreg [/s]               エディタの設定を削除する (/s: 確認しない)\n"
               "  -h, --help                このヘルプを表示して終了する\n"
               "  --version                 バージョンを表示して終了する\n"
               "  --                        これより後の引数はすべてファイル名として扱う\n"
               "\n"
               "Qt の標準オプション (-platform 名前、-display ディスプレイ など) も使えます。\n"
               "コマンドラインの道具は wrenpad-tool --help を参照してください。\n";
    return "usage: wrenpad [OPTION]... [FILE]...\n"
           "An editor of Shift-JIS text and HTML. Each FILE opens in a tab of its own.\n"
           "\n"
           "options:\n"
           "  --print-pdf OUT.pdf FILE  print FILE to the PDF file OUT.pdf as the print\n"
           "                            command would and exit, without a window or a\n"
           "                            display (status 0: done, 1: FILE cannot be read or\n"
           "                            OUT.pdf cannot be written, 2: wrong arguments)\n"
           "  /unreg [/s]               remove the editor's settings (/s: without asking)\n"
           "  -h, --help                show this help and exit\n"
           "  --version                 show the version and exit\n"
           "  --                        every later argument is a file name\n"
           "\n"
           "The toolkit's own options (-platform NAME, -display DISPLAY ...) are accepted.\n"
           "For the command-line tools see wrenpad-tool --help.\n";
}

bool IsJapaneseMessagesLocale(const char *pszLcAll, const char *pszLcMessages, const char *pszLang)
{
    for (const char *psz : {pszLcAll, pszLcMessages, pszLang}) {
        if (psz && *psz)
            return psz[0] == 'j' && psz[1] == 'a' && (psz[2] == '\0' || psz[2] == '_' || psz[2] == '.' || psz[2] == '@');
    }
    return false;
}
