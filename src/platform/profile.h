// The per-user settings store: integers and strings by section and entry, as
// the settings are named throughout the program ("Wrenpad\Version 1.0",
// "WpFolderSerch" ...). The program keeps one application store (QSettings in
// INI form under the user's config folder); tests use an in-memory one.
#pragma once

#include <map>
#include <string>
#include <utility>

class CProfileStore
{
public:
    virtual ~CProfileStore() = default;
    virtual int GetInt(const std::string &strSection, const std::string &strEntry, int nDefault) const = 0;
    virtual std::string GetString(const std::string &strSection, const std::string &strEntry,
                                  const std::string &strDefault) const = 0;
    virtual void WriteInt(const std::string &strSection, const std::string &strEntry, int nValue) = 0;
    virtual void WriteString(const std::string &strSection, const std::string &strEntry,
                             const std::string &strValue) = 0;
    virtual bool HasEntry(const std::string &strSection, const std::string &strEntry) const = 0;
    // Removes every setting of the program (the uninstall switch); false
    // when they could not be removed from where they are kept.
    virtual bool RemoveAll() = 0;
    // Where the settings are kept, for messages; empty for a store in memory.
    virtual std::string GetLocation() const { return std::string(); }
};

class CMemoryProfileStore : public CProfileStore
{
public:
    int GetInt(const std::string &strSection, const std::string &strEntry, int nDefault) const override;
    std::string GetString(const std::string &strSection, const std::string &strEntry,
                          const std::string &strDefault) const override;
    void WriteInt(const std::string &strSection, const std::string &strEntry, int nValue) override;
    void WriteString(const std::string &strSection, const std::string &strEntry,
                     const std::string &strValue) override;
    bool HasEntry(const std::string &strSection, const std::string &strEntry) const override;
    bool RemoveAll() override
    {
        m_values.clear();
        return true;
    }

private:
    std::map<std::pair<std::string, std::string>, std::string> m_values;
};

// The application's store; an in-memory one until the application sets its own.
CProfileStore &AppProfile();
void SetAppProfile(CProfileStore *pStore);
