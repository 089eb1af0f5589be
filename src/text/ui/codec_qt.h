// The codec at the edge of the widgets: document bytes (CP932) to QString and
// back, converted through UTF-16 with no stop in UTF-8 on the way. Every text
// a window shows from a document, and every text typed, pasted, dropped or
// entered in a dialog for one, goes through this pair, so that what a
// document can hold beyond CP932 is decided here and nowhere else.
//
// File names are no document text: they are UTF-8 on disk, and PathText
// shows them as they are.
#pragma once

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

class CExtraChars;

// A byte that is not CP932 shows as the replacement mark (U+FFFD) and is
// counted in *pnInvalid when that is given.
QString Cp932ToQString(std::string_view bytes, int *pnInvalid = nullptr);

// A character with no CP932 form, or a lone surrogate, becomes "?" and is
// counted in *pnUnmappable when that is given.
std::string QStringToCp932(QStringView text, int *pnUnmappable = nullptr);

// The same for a document's own text, through its table of the characters
// Shift-JIS lacks (null for a Shift-JIS document, which has none): its codes
// are their characters both ways, and text going in takes new codes as
// needed (pcFirst, when given, receives the first character that still
// became "?").
QString DocTextToQString(std::string_view bytes, const CExtraChars *pExtra, int *pnInvalid = nullptr);
std::string QStringToDocText(QStringView text, CExtraChars *pExtra, int *pnUnmappable = nullptr,
                             char32_t *pcFirst = nullptr);
// Text to look for in a document: false when a character is in neither
// Shift-JIS nor the table, so nothing there can match it.
bool QStringToDocTextFound(QStringView text, const CExtraChars *pExtra, std::string &out);

// A file's path or name for the screen.
QString PathText(const std::string &strPath);
