#include "support/testutil.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <random>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

CTempDir::CTempDir()
{
    std::string strTemplate = (std::filesystem::temp_directory_path() / "wrenpad-test-XXXXXX").string();
    if (!::mkdtemp(strTemplate.data()))
        throw std::runtime_error("mkdtemp failed");
    m_strPath = strTemplate;
}

CTempDir::~CTempDir()
{
    std::error_code ec;
    // Tests may have taken permissions away; give them back so removal works.
    for (auto it = std::filesystem::recursive_directory_iterator(m_strPath, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
    }
    std::filesystem::permissions(m_strPath, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_strPath, ec);
}

std::string ReadFileBytes(const std::string &strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + strPath);
    std::ostringstream ss;
    ss << in.rdbuf();
    return std::move(ss).str();
}

void WriteFileBytes(const std::string &strPath, const std::string &strBytes)
{
    std::ofstream out(strPath, std::ios::binary | std::ios::trunc);
    out.write(strBytes.data(), static_cast<std::streamsize>(strBytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + strPath);
}

void WriteFiles(const std::string &strRoot, const std::vector<std::pair<std::string, std::string>> &aFiles)
{
    for (const auto &[strName, strBytes] : aFiles) {
        const std::string strPath = strRoot + "/" + strName;
        std::filesystem::create_directories(std::filesystem::path(strPath).parent_path());
        WriteFileBytes(strPath, strBytes);
    }
}

bool FileExists(const std::string &strPath)
{
    return ::access(strPath.c_str(), F_OK) == 0;
}

std::vector<std::string> ListDir(const std::string &strPath)
{
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(strPath))
        names.push_back(entry.path().filename().string());
    return names;
}

int OpenDescriptorCount()
{
    return static_cast<int>(ListDir("/proc/self/fd").size());
}

namespace {

// Runs a program with its arguments and captures what it writes; the
// program is looked up in PATH when bSearchPath, runs in strFolder when one
// is given, and reads pInput when given, else what the options name.
CToolResult RunCaptured(const std::string &strProgram, bool bSearchPath, const std::vector<std::string> &args,
                        const std::string &strFolder, const std::string *pInput,
                        const CToolRunOptions &options = CToolRunOptions())
{
    CTempDir dir;
    const std::string strIn = pInput || options.strInputPath.empty() ? dir.File("in") : options.strInputPath;
    const std::string strOut = dir.File("out");
    const std::string strErr = dir.File("err");
    if (pInput)
        WriteFileBytes(strIn, *pInput);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (!std::freopen(strOut.c_str(), "w", stdout) || !std::freopen(strErr.c_str(), "w", stderr))
            ::_exit(127);
        if ((pInput || !options.strInputPath.empty()) && !std::freopen(strIn.c_str(), "r", stdin))
            ::_exit(127);
        if (options.bAsOrdinaryUser && ::geteuid() == 0
            && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(127);
        if (!strFolder.empty() && ::chdir(strFolder.c_str()) != 0)
            ::_exit(127);
        std::vector<char *> argv;
        argv.push_back(const_cast<char *>(strProgram.c_str()));
        for (const auto &a : args)
            argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        if (bSearchPath)
            ::execvp(strProgram.c_str(), argv.data());
        else
            ::execv(strProgram.c_str(), argv.data());
        ::_exit(127);
    }
    CToolResult result;
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.nStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.strOut = ReadFileBytes(strOut);
    result.strErr = ReadFileBytes(strErr);
    return result;
}

} // namespace

CToolResult RunTool(const std::vector<std::string> &args)
{
    return RunCaptured(WP_TOOL_PATH, false, args, std::string(), nullptr);
}

CToolResult RunTool(const std::vector<std::string> &args, const std::string &strInput)
{
    return RunCaptured(WP_TOOL_PATH, false, args, std::string(), &strInput);
}

CToolResult RunTool(const std::vector<std::string> &args, const CToolRunOptions &options)
{
    return RunCaptured(WP_TOOL_PATH, false, args, std::string(), nullptr, options);
}

CToolResult RunProgram(const std::vector<std::string> &argv, const std::string &strFolder)
{
    return RunCaptured(argv.at(0), true, std::vector<std::string>(argv.begin() + 1, argv.end()), strFolder, nullptr);
}

CEnvironment::CEnvironment(const char *pszName, const std::string &strValue) : m_pszName(pszName)
{
    if (const char *pszOld = std::getenv(pszName)) {
        m_bHad = true;
        m_strOld = pszOld;
    }
    ::setenv(pszName, strValue.c_str(), 1);
}

CEnvironment::~CEnvironment()
{
    if (m_bHad)
        ::setenv(m_pszName, m_strOld.c_str(), 1);
    else
        ::unsetenv(m_pszName);
}

std::string RandomBytes(std::size_t n, unsigned nSeed, unsigned nAlphabet)
{
    std::mt19937 rng(nSeed);
    std::string s(n, '\0');
    for (char &ch : s)
        ch = static_cast<char>(rng() % nAlphabet);
    return s;
}

std::string TextLike(std::size_t n, unsigned nSeed)
{
    static const char *const WORDS[] = {"int ", "return ", "the ", "value", "(", ");\n", "    ", "if ", "struct ",
                                        "漢字", "日本語", "テキスト", "const char *", "= ", "{\n", "}\n", "for ",
                                        "buffer", "line", "0x", "// comment about it\n"};
    std::mt19937 rng(nSeed);
    std::string s;
    while (s.size() < n)
        s += WORDS[rng() % (sizeof WORDS / sizeof WORDS[0])];
    s.resize(n);
    return s;
}
