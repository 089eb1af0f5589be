#include "text/ui/codec_qt.h"

#include "text/codec.h"

QString Cp932ToQString(std::string_view bytes, int *pnInvalid)
{
    // No character takes more UTF-16 units than it has bytes.
    QString str(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    const std::size_t nUnits = Cp932ToUtf16(bytes, reinterpret_cast<char16_t *>(str.data()), pnInvalid);
    str.truncate(static_cast<qsizetype>(nUnits));
    return str;
}

std::string QStringToCp932(QStringView text, int *pnUnmappable)
{
    return Utf16ToCp932(std::u16string_view(reinterpret_cast<const char16_t *>(text.utf16()),
                                            static_cast<std::size_t>(text.size())),
                        pnUnmappable);
}

QString PathText(const std::string &strPath)
{
    return QString::fromStdString(strPath);
}
