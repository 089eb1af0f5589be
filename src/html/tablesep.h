// The separators of a table's cells in plain text, as the table commands, the
// table editor and the conversion of table markup to lines all number them.
#pragma once

enum ETableSeparator
{
    TABLESEP_COMMA = 0,
    TABLESEP_TAB = 1,
    TABLESEP_BLANK = 2,
};
