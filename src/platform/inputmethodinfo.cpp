#include "platform/inputmethodinfo.h"

namespace {

std::string_view Trim(std::string_view s)
{
    const auto bSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && bSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && bSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

} // namespace

std::string IBusAddressFileName(std::string_view strX11Display, std::string_view strWaylandDisplay,
                                std::string_view strMachineId)
{
    std::string_view host = "unix";
    std::string_view number;
    if (!strWaylandDisplay.empty()) {
        number = strWaylandDisplay;
    } else if (!strX11Display.empty()) {
        // The first colon ends the host, as ibus-daemon reads it.
        const std::size_t nColon = strX11Display.find(':');
        if (nColon == std::string_view::npos)
            return {};
        if (nColon > 0)
            host = strX11Display.substr(0, nColon);
        number = strX11Display.substr(nColon + 1);
        // The screen after the dot does not belong to the name.
        if (const std::size_t nDot = number.find('.'); nDot != std::string_view::npos)
            number = number.substr(0, nDot);
    }
    if (number.empty() || strMachineId.empty())
        return {};
    std::string strName(strMachineId);
    strName += '-';
    strName += host;
    strName += '-';
    strName += number;
    return strName;
}

std::string ParseIBusAddressFile(std::string_view text)
{
    constexpr std::string_view KEY = "IBUS_ADDRESS=";
    while (!text.empty()) {
        const std::size_t nEnd = text.find('\n');
        const std::string_view line = Trim(text.substr(0, nEnd));
        text = nEnd == std::string_view::npos ? std::string_view() : text.substr(nEnd + 1);
        if (line.substr(0, KEY.size()) == KEY)
            return std::string(Trim(line.substr(KEY.size())));
    }
    return {};
}

bool Fcitx5ListsProgram(std::string_view info, std::string_view strProgram)
{
    if (strProgram.empty())
        return false;
    constexpr std::string_view KEY = "program:";
    for (std::size_t nPos = info.find(KEY); nPos != std::string_view::npos; nPos = info.find(KEY, nPos + 1)) {
        // Only a whole field counts: "xprogram:" is not one, nor is a longer name.
        if (nPos > 0 && info[nPos - 1] != ' ' && info[nPos - 1] != '\t')
            continue;
        std::string_view value = info.substr(nPos + KEY.size());
        const std::size_t nEnd = value.find_first_of(" \t\n");
        value = value.substr(0, nEnd);
        if (value == strProgram)
            return true;
    }
    return false;
}

bool IsIBusLayoutEngine(std::string_view strEngine)
{
    return strEngine.substr(0, 4) == "xkb:";
}

const std::vector<std::string> &IBusJapaneseEngines()
{
    static const std::vector<std::string> ENGINES = {"mozc-jp", "anthy", "kkc", "skk"};
    return ENGINES;
}
