#include "search/ui/searchmessages.h"

#include "platform/ui/msgbox.h"

#include <QString>

void ShowUnsearchableText(QWidget *pParent, const QString &strText)
{
    MessageBox(pParent, QStringLiteral("\"%1\"にはShift-JISで表せない文字があるため、検索できません。").arg(strText),
               QString(), MB_OK | MB_ICONEXCLAMATION);
}

void ShowUnreplaceableText(QWidget *pParent)
{
    MessageBox(pParent, QStringLiteral("置換文字列にはShift-JISで表せない文字があるため、置換できません。"), QString(),
               MB_OK | MB_ICONEXCLAMATION);
}
