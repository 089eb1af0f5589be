#include "platform/ui/qsettingsprofile.h"

CQSettingsProfileStore::CQSettingsProfileStore(const QString &strFile)
    : m_settings(strFile.isEmpty() ? QSettings(QSettings::IniFormat, QSettings::UserScope,
                                               QStringLiteral("Orvane Applet"), QStringLiteral("Wrenpad"))
                                         .fileName()
                                   : strFile,
                 QSettings::IniFormat)
{
}

QString CQSettingsProfileStore::Key(const std::string &strSection, const std::string &strEntry)
{
    QString strKey = QString::fromStdString(strSection);
    strKey.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!strKey.isEmpty())
        strKey += QLatin1Char('/');
    return strKey + QString::fromStdString(strEntry);
}

int CQSettingsProfileStore::GetInt(const std::string &strSection, const std::string &strEntry, int nDefault) const
{
    bool bOk = false;
    const int n = m_settings.value(Key(strSection, strEntry)).toInt(&bOk);
    return bOk ? n : nDefault;
}

std::string CQSettingsProfileStore::GetString(const std::string &strSection, const std::string &strEntry,
                                              const std::string &strDefault) const
{
    const QVariant value = m_settings.value(Key(strSection, strEntry));
    if (!value.isValid())
        return strDefault;
    // An INI value with unquoted commas (edited by hand) reads as a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", ")).toStdString();
    return value.toString().toStdString();
}

void CQSettingsProfileStore::WriteInt(const std::string &strSection, const std::string &strEntry, int nValue)
{
    m_settings.setValue(Key(strSection, strEntry), nValue);
}

void CQSettingsProfileStore::WriteString(const std::string &strSection, const std::string &strEntry,
                                         const std::string &strValue)
{
    m_settings.setValue(Key(strSection, strEntry), QString::fromStdString(strValue));
}

bool CQSettingsProfileStore::HasEntry(const std::string &strSection, const std::string &strEntry) const
{
    return m_settings.contains(Key(strSection, strEntry));
}

bool CQSettingsProfileStore::RemoveAll()
{
    m_settings.clear();
    // Only the file on the disk says whether they are gone.
    m_settings.sync();
    return m_settings.status() == QSettings::NoError;
}
