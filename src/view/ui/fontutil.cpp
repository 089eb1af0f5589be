#include "view/ui/fontutil.h"

#include <QFontDatabase>

QStringList JapaneseMonospaceFaces()
{
    return {QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("VL Gothic"),
            QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP")};
}

QFont MakeViewFont(const QString &strFace, int nPixelHeight, int nWeight, bool bItalic)
{
    const QStringList families = QFontDatabase::families();
    QString strFamily = strFace;
    if (strFamily.isEmpty() || !families.contains(strFamily, Qt::CaseInsensitive)) {
        strFamily.clear();
        for (const QString &candidate : JapaneseMonospaceFaces()) {
            if (families.contains(candidate, Qt::CaseInsensitive)) {
                strFamily = candidate;
                break;
            }
        }
    }
    QFont font;
    if (!strFamily.isEmpty())
        font.setFamily(strFamily);
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(nPixelHeight > 0 ? nPixelHeight : 18);
    font.setWeight(nWeight >= 600 ? QFont::Bold : QFont::Normal);
    font.setItalic(bItalic);
    font.setKerning(false);
    return font;
}
