// Helpers shared by the tests: temporary folders, whole-file reads and writes,
// running wrenpad-tool, environment variables and made-up file contents.
#pragma once

#include <string>
#include <utility>
#include <vector>

// A fresh folder under the system's temporary folder, removed with its contents.
class CTempDir
{
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir &) = delete;
    CTempDir &operator=(const CTempDir &) = delete;
    const std::string &Path() const { return m_strPath; }
    std::string File(const std::string &strName) const { return m_strPath + "/" + strName; }

private:
    std::string m_strPath;
};

std::string ReadFileBytes(const std::string &strPath);
void WriteFileBytes(const std::string &strPath, const std::string &strBytes);
// Writes each (name, bytes) below strRoot, making the folders on the way.
void WriteFiles(const std::string &strRoot, const std::vector<std::pair<std::string, std::string>> &aFiles);
bool FileExists(const std::string &strPath);
std::vector<std::string> ListDir(const std::string &strPath);
// How many descriptors this process has open, to show that none is left behind.
int OpenDescriptorCount();

struct CToolResult
{
    int nStatus = -1;
    std::string strOut;
    std::string strErr;
};

// Runs wrenpad-tool with the given arguments (no shell involved).
CToolResult RunTool(const std::vector<std::string> &args);
// The same with strInput as its standard input.
CToolResult RunTool(const std::vector<std::string> &args, const std::string &strInput);

// How RunTool starts the tool besides its arguments.
struct CToolRunOptions
{
    std::string strInputPath;      // standard input read from this path
    bool bAsOrdinaryUser = false;  // as user nobody when the tests run as the superuser
};
CToolResult RunTool(const std::vector<std::string> &args, const CToolRunOptions &options);

// Runs a program (looked up in PATH) with its arguments, no shell involved,
// in strFolder when given; captures what it writes.
CToolResult RunProgram(const std::vector<std::string> &argv, const std::string &strFolder = std::string());

// Sets an environment variable for the life of the object.
class CEnvironment
{
public:
    CEnvironment(const char *pszName, const std::string &strValue);
    ~CEnvironment();
    CEnvironment(const CEnvironment &) = delete;
    CEnvironment &operator=(const CEnvironment &) = delete;

private:
    const char *m_pszName;
    bool m_bHad = false;
    std::string m_strOld;
};

// n bytes from a seeded generator, each below nAlphabet.
std::string RandomBytes(std::size_t n, unsigned nSeed, unsigned nAlphabet = 256);
// n bytes of words from a small vocabulary: compresses about as well as source text.
std::string TextLike(std::size_t n, unsigned nSeed);
