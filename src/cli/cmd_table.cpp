// table: the table editor's output for separated text, as "グリッドで編集"
// would open it and OK would give it back with nothing changed. Standard
// input is the selection; standard output the table.
#include "cli/cli.h"
#include "html/listbuild.h"
#include "html/tablegrid.h"

#include <string>

namespace {

int Table(const CliArgs &args)
{
    int nSep = -1;
    int nFormat = -1;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &strArg = args[i];
        if ((strArg == "--sep" || strArg == "--format") && i + 1 < args.size()) {
            const std::string &strValue = args[++i];
            const int nMax = strArg == "--sep" ? 2 : 3;
            if (strValue.size() != 1 || strValue[0] < '0' || strValue[0] > '0' + nMax)
                return CliFail("table: " + strArg + " must be a number from 0 to " + std::to_string(nMax) + ", not \""
                                   + strValue + "\"",
                               2);
            (strArg == "--sep" ? nSep : nFormat) = strValue[0] - '0';
        } else {
            return CliUsage("table");
        }
    }
    if (nSep < 0 || nFormat < 0)
        return CliUsage("table");
    std::string input;
    if (!CliReadStandardInput(input))
        return CliFail("table: cannot read standard input");
    const CTableGrid grid = GridFromSeparatedText(input, TableSeparatorByte(nSep));
    if (!CliWriteOut(TableOutput(grid, nFormat, "", "")))
        return CliFail("cannot write output");
    return 0;
}

const CCliRegistrar regTable(
    "table", "--sep SEP --format FMT\n"
             "      reads separated Shift-JIS text on standard input and writes the table\n"
             "      editor's output for it unchanged. SEP 0 comma, 1 tab, 2 blank: rows at\n"
             "      line breaks (a final one ends the last row), cells at SEP, a cell that\n"
             "      starts with \" runs to its closing \" (\"\" is one quote). FMT 0 HTML table,\n"
             "      1 tab-, 2 comma-, 3 blank-separated lines (a cell holding the separator,\n"
             "      a line break or a leading \" written in quotes). Status 2 for bad arguments",
    Table);

} // namespace
