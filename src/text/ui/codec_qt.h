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

// A byte that is not CP932 shows as the replacement mark (U+FFFD) and is
// counted in *pnInvalid when that is given.
QString Cp932ToQString(std::string_view bytes, int *pnInvalid = nullptr);

// A character with no CP932 form, or a lone surrogate, becomes "?" and is
// counted in *pnUnmappable when that is given.
std::string QStringToCp932(QStringView text, int *pnUnmappable = nullptr);

// A file's path or name for the screen.
QString PathText(const std::string &strPath);
