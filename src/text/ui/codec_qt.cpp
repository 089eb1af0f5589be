#include "text/ui/codec_qt.h"

#include "text/codec.h"
#include "text/doctext.h"

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

namespace {

std::u16string_view Utf16View(QStringView text)
{
    return std::u16string_view(reinterpret_cast<const char16_t *>(text.utf16()), static_cast<std::size_t>(text.size()));
}

} // namespace

QString DocTextToQString(std::string_view bytes, const CExtraChars *pExtra, int *pnInvalid)
{
    if (!pExtra)
        return Cp932ToQString(bytes, pnInvalid);
    const std::u16string text = DocTextToUtf16(bytes, pExtra, pnInvalid);
    return QString(reinterpret_cast<const QChar *>(text.data()), static_cast<qsizetype>(text.size()));
}

std::string QStringToDocText(QStringView text, CExtraChars *pExtra, int *pnUnmappable, char32_t *pcFirst)
{
    return Utf16ToDocText(Utf16View(text), pExtra, pnUnmappable, pcFirst);
}

bool QStringToDocTextFound(QStringView text, const CExtraChars *pExtra, std::string &out)
{
    return Utf16ToDocTextFound(Utf16View(text), pExtra, out);
}

QString PathText(const std::string &strPath)
{
    return QString::fromStdString(strPath);
}
