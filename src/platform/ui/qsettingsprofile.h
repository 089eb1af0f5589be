// The application's settings store: QSettings in INI form under the user's
// config folder ("Orvane Applet/Wrenpad.ini"). Sections keep their names, with
// "\" as the group separator written "/".
#pragma once

#include "platform/profile.h"

#include <QSettings>

class CQSettingsProfileStore : public CProfileStore
{
public:
    // With no file name: the user's own settings file.
    explicit CQSettingsProfileStore(const QString &strFile = QString());

    int GetInt(const std::string &strSection, const std::string &strEntry, int nDefault) const override;
    std::string GetString(const std::string &strSection, const std::string &strEntry,
                          const std::string &strDefault) const override;
    void WriteInt(const std::string &strSection, const std::string &strEntry, int nValue) override;
    void WriteString(const std::string &strSection, const std::string &strEntry,
                     const std::string &strValue) override;
    bool HasEntry(const std::string &strSection, const std::string &strEntry) const override;
    bool RemoveAll() override;
    std::string GetLocation() const override { return m_settings.fileName().toStdString(); }

    QString FileName() const { return m_settings.fileName(); }

private:
    static QString Key(const std::string &strSection, const std::string &strEntry);
    mutable QSettings m_settings;
};
