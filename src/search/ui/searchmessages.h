// Messages that the find, replace and folder search dialogs share.
#pragma once

class QString;
class QWidget;

// The search text holds characters that Shift-JIS cannot express. Each would
// become "?" and find a real "?" (or act as an operator in an expression),
// so nothing is searched for and the user is told.
void ShowUnsearchableText(QWidget *pParent, const QString &strText);
// The same of a replacement: nothing is replaced.
void ShowUnreplaceableText(QWidget *pParent);
