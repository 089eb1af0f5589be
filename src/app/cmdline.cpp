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
