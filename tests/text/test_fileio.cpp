// Loading and saving: line-end detection, block boundaries, every byte kept,
// and a save that never risks the file.
#include "support/testutil.h"
#include "text/bufferutil.h"
#include "text/fileio.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int BLOCK = 32768;  // the size of a read block
constexpr std::size_t READ = 256 * 1024;  // the size of the loader's read blocks

struct CLoaded
{
    bool bOk = false;
    int nMode = -1;
    std::string strLines;
    int nLines = 0;
};

// Writes the bytes to a file and loads it.
CLoaded LoadBytes(const CTempDir &dir, const std::string &strBytes, int nMode = -1)
{
    WriteFileBytes(dir.File("f"), strBytes);
    CCrystalTextBuffer buffer;
    CLoaded r;
    r.bOk = buffer.LoadFromFile(dir.File("f"), nMode);
    if (r.bOk) {
        r.nMode = buffer.GetLineEndMode();
        r.strLines = Lines(buffer);
        r.nLines = buffer.GetLineCount();
    }
    return r;
}

// Loads the bytes from a file and saves them back in the detected mode.
std::string RoundTrip(const CTempDir &dir, const std::string &strBytes, int nMode = -1)
{
    const std::string in = dir.File("in");
    const std::string out = dir.File("out");
    WriteFileBytes(in, strBytes);
    CCrystalTextBuffer buffer;
    if (!buffer.LoadFromFile(in, nMode) || !buffer.SaveToFile(out, -1))
        return "<failed>";
    return ReadFileBytes(out);
}

// Runs fn in a child process as an ordinary user (nobody) when the tests run
// as the superuser, so that permissions apply; returns its exit status.
int RunAsOrdinaryUser(const std::function<int()> &fn)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(100);
        ::_exit(fn());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 200;
}

void OpenUp(const std::string &strPath)
{
    ::chmod(strPath.c_str(), 0777);
}

} // namespace

TEST(FileLoad, TheFirstBreakDecidesTheModeHoweverFarIntoTheFileItIs)
{
    // A minified page or a log with a long first line: the first break lies
    // at the edges of a 32 KB block, of the loader's 256 KB read blocks, or
    // far beyond, a CR LF split across such an edge among them. Each file is
    // read from disk and from memory, and comes back unchanged.
    CTempDir dir;
    for (const std::size_t nAt : {std::size_t(BLOCK - 1), std::size_t(BLOCK), READ - 1, READ, 3 * READ + 17}) {
        for (const int nMode : {LINEEND_LF, LINEEND_CRLF, LINEEND_CR}) {
            const std::string sep(LineEndSeparator(nMode));
            // Later lines hold the other break bytes, which are then text.
            const std::string strOther = nMode == LINEEND_LF ? "c\rd" : nMode == LINEEND_CR ? "c\nd" : "c\rd\ne";
            const std::string bytes = std::string(nAt, 'x') + sep + strOther + sep + sep + "last";
            const std::string strLines = std::string(nAt, 'x') + "|" + strOther + "||last";
            const CLoaded r = LoadBytes(dir, bytes);
            ASSERT_TRUE(r.bOk);
            EXPECT_EQ(r.nMode, nMode) << nAt;
            EXPECT_TRUE(r.strLines == strLines) << nAt << " " << nMode << ": " << r.nLines << " lines";
            EXPECT_TRUE(RoundTrip(dir, bytes) == bytes) << nAt << " " << nMode;

            CCrystalTextBuffer buffer;
            ASSERT_TRUE(buffer.LoadFromMemory(bytes));
            EXPECT_EQ(buffer.GetLineEndMode(), nMode) << nAt;
            EXPECT_EQ(buffer.GetLineCount(), 4) << nAt;
        }
    }
}

TEST(FileLoad, ACrAtTheEndOfABlockWaitsForTheNextByte)
{
    // The CR is the last byte of a read block; what follows it, in the next
    // block or nowhere, decides.
    CTempDir dir;
    const std::string x(READ - 1, 'x');
    const struct { std::string bytes; int nMode; int nLines; } cases[] = {
        {x + "\r\n", LINEEND_CRLF, 2},      // the LF alone in the last block
        {x + "\r\nb\rc", LINEEND_CRLF, 2},
        {x + "\rb\r\n", LINEEND_CR, 3},
        {x + "\r", LINEEND_CR, 2},          // a CR ending the file
        {x + "\r\r", LINEEND_CR, 3},
        {"\r", LINEEND_CR, 2},
        {x + "y", LINEEND_CRLF, 1},          // no break at all
        {std::string(READ * 5 + 5, 'z'), LINEEND_CRLF, 1},  // longer than a write block too
    };
    for (const auto &c : cases) {
        const CLoaded r = LoadBytes(dir, c.bytes);
        ASSERT_TRUE(r.bOk);
        EXPECT_EQ(r.nMode, c.nMode) << c.bytes.size();
        EXPECT_EQ(r.nLines, c.nLines) << c.bytes.size();
        EXPECT_TRUE(RoundTrip(dir, c.bytes) == c.bytes) << c.bytes.size();
    }
    // With the mode fixed, a CR LF across the edge is still one separator.
    const CLoaded r = LoadBytes(dir, x + "\r\n", LINEEND_CRLF);
    EXPECT_EQ(r.nLines, 2);
    EXPECT_TRUE(r.strLines == x + "|");
}

TEST(FileLoad, EveryWayOfDecidingTheModeAgrees)
{
    // Pieces of any size, whole texts, and the loader all give the same mode.
    std::mt19937 rng(7);
    const char alphabet[] = {'\r', '\n', 'a', '\x82'};
    for (int i = 0; i < 300; ++i) {
        std::string text(rng() % 40, ' ');
        for (char &c : text)
            c = rng() % 6 == 0 ? alphabet[rng() % 2] : alphabet[2 + rng() % 2];
        const int nWhole = DetectLineEndMode(text);
        CLineEndDetector pieces;
        for (std::size_t nAt = 0; nAt < text.size();) {
            const std::size_t n = std::min<std::size_t>(rng() % 4, text.size() - nAt);
            pieces.Feed(std::string_view(text).substr(nAt, n));
            nAt += n;
        }
        pieces.Finish();
        EXPECT_EQ(pieces.GetMode(), nWhole) << i;
        CCrystalTextBuffer buffer;
        ASSERT_TRUE(buffer.LoadFromMemory(text));
        EXPECT_EQ(buffer.GetLineEndMode(), nWhole) << i;
        const std::size_t nBreak = text.find_first_of("\r\n");
        const int nExpected = nBreak == std::string::npos    ? LINEEND_CRLF
                              : text[nBreak] == '\n'         ? LINEEND_LF
                              : text.compare(nBreak, 2, "\r\n") == 0 ? LINEEND_CRLF
                                                                      : LINEEND_CR;
        EXPECT_EQ(nWhole, nExpected) << i;
    }
}

TEST(FileLoad, RandomBytesRoundTrip)
{
    // Whatever the bytes, loading splits exactly at the separators and saving
    // puts them back, so a file always comes back unchanged in its own mode.
    CTempDir dir;
    std::mt19937 rng(12345);
    const char alphabet[] = {'\r', '\n', '\0', 'a', '\x82', '\xA0', '\x5C', '\xFF'};
    for (int i = 0; i < 60; ++i) {
        std::string bytes(static_cast<std::size_t>(rng() % 3000 + (i % 10 == 0 ? BLOCK * 2 : 0)), ' ');
        for (char &c : bytes)
            c = (rng() % 4 == 0) ? alphabet[rng() % sizeof alphabet] : static_cast<char>(rng());
        EXPECT_EQ(RoundTrip(dir, bytes), bytes) << i;
        EXPECT_EQ(RoundTrip(dir, bytes, static_cast<int>(rng() % 3)), bytes) << i;
    }
}

TEST(FileLoad, ResetsStateAndTellsViews)
{
    CTempDir dir;
    WriteFileBytes(dir.File("f"), "new\ncontent");
    CCrystalTextBuffer buffer;
    buffer.InitNew();
    Insert(buffer, 0, 0, "old text\r\nmore");
    CRecordingView view;
    buffer.AttachView(&view);
    ASSERT_TRUE(buffer.LoadFromFile(dir.File("f")));
    EXPECT_EQ(Lines(buffer), "new|content");
    EXPECT_FALSE(buffer.IsModified());
    EXPECT_FALSE(buffer.CanUndo());
    EXPECT_FALSE(buffer.IsReadOnly());
    ASSERT_EQ(view.aLog.size(), 1u);
    EXPECT_EQ(view.aLog[0].dwFlags, static_cast<std::uint32_t>(NOTIFY_RESET));
    EXPECT_EQ(view.aLog[0].nLine, -1);
    buffer.DetachView(&view);
}

TEST(FileLoad, BadPathsFailAndAReadOnlyFileGivesAReadOnlyBuffer)
{
    CTempDir dir;
    CCrystalTextBuffer buffer;
    EXPECT_FALSE(buffer.LoadFromFile(dir.File("missing")));
    EXPECT_FALSE(buffer.LoadFromFile(dir.Path()));
    EXPECT_FALSE(buffer.IsInit());

    const std::string f = dir.File("ro");
    WriteFileBytes(f, "locked");
    ::chmod(f.c_str(), 0444);
    ASSERT_TRUE(buffer.LoadFromFile(f));
    EXPECT_TRUE(buffer.IsReadOnly());
    EXPECT_TRUE(IsFileReadOnly(f));
    // Writable by its owner, even with the others' bits cleared.
    ::chmod(f.c_str(), 0600);
    EXPECT_FALSE(IsFileReadOnly(f));

    // For the ordinary user: a file it may read but not write, and one it may not read.
    ::chmod(f.c_str(), 0644);
    WriteFileBytes(dir.File("secret"), "x");
    ::chmod(dir.File("secret").c_str(), 0);
    OpenUp(dir.Path());
    EXPECT_EQ(RunAsOrdinaryUser([&] {
                  CCrystalTextBuffer b;
                  return b.LoadFromFile(f) && b.IsReadOnly() && !b.LoadFromFile(dir.File("secret")) ? 0 : 1;
              }),
              0);
}

TEST(FileSave, ConvertsSeparatorsOnlyForThisWriteAndClearsModifiedOnlyWhenAsked)
{
    CTempDir dir;
    WriteFileBytes(dir.File("lf"), "a\nb\n");
    CCrystalTextBuffer buffer;
    ASSERT_TRUE(buffer.LoadFromFile(dir.File("lf")));
    Insert(buffer, 0, 0, "c");
    ASSERT_TRUE(buffer.SaveToFile(dir.File("dos"), LINEEND_CRLF, false));
    EXPECT_EQ(ReadFileBytes(dir.File("dos")), "ca\r\nb\r\n");
    EXPECT_EQ(buffer.GetLineEndMode(), LINEEND_LF);
    EXPECT_TRUE(buffer.IsModified());
    ASSERT_TRUE(buffer.SaveToFile(dir.File("mac"), LINEEND_CR));
    EXPECT_EQ(ReadFileBytes(dir.File("mac")), "ca\rb\r");
    EXPECT_FALSE(buffer.IsModified());
    ASSERT_TRUE(buffer.SaveToFile(dir.File("own")));
    EXPECT_EQ(ReadFileBytes(dir.File("own")), "ca\nb\n");
}

TEST(FileSave, KeepsPermissionsAndFollowsLinks)
{
    CTempDir dir;
    const std::string target = dir.File("target.html");
    WriteFileBytes(target, "old");
    ::chmod(target.c_str(), 0751);
    std::filesystem::create_directory(dir.File("sub"));
    ::symlink("../target.html", dir.File("sub/link").c_str());
    ::symlink("sub/link", dir.File("link2").c_str());

    CCrystalTextBuffer buffer;
    buffer.InitNew(LINEEND_LF);
    Insert(buffer, 0, 0, "new\r\ntext");
    ASSERT_TRUE(buffer.SaveToFile(dir.File("link2")));
    EXPECT_EQ(ReadFileBytes(target), "new\ntext");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link2")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("sub/link")));
    EXPECT_EQ(std::filesystem::status(target).permissions(), std::filesystem::perms(0751));

    // A new file gets the usual permissions, not the temporary file's.
    ASSERT_TRUE(buffer.SaveToFile(dir.File("fresh")));
    const mode_t mask = ::umask(022);
    ::umask(mask);
    EXPECT_EQ(std::filesystem::status(dir.File("fresh")).permissions(), std::filesystem::perms(0666 & ~mask));

    // Nothing but the files themselves is left in the folders.
    auto names = ListDir(dir.Path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"fresh", "link2", "sub", "target.html"}));
}

TEST(FileSave, FailuresLeaveTheTargetAndNoTemporaryFile)
{
    CTempDir dir;
    CCrystalTextBuffer buffer;
    buffer.InitNew();
    Insert(buffer, 0, 0, std::string(200000, 'n'));

    // A folder as the target.
    std::filesystem::create_directory(dir.File("folder"));
    EXPECT_FALSE(buffer.SaveToFile(dir.File("folder")));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder")));
    // A folder that does not exist.
    EXPECT_FALSE(buffer.SaveToFile(dir.File("nowhere/file")));
    EXPECT_TRUE(buffer.IsModified());

    // A full disk: the file-size limit makes the write fail part way.
    const std::string full = dir.File("full");
    WriteFileBytes(full, "original");
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit rl = {65536, 65536};
        ::setrlimit(RLIMIT_FSIZE, &rl);
        ::_exit(buffer.SaveToFile(full) ? 1 : 0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadFileBytes(full), "original");

    // A folder the user may not write to, and a file the user may not write.
    std::filesystem::create_directory(dir.File("locked"));
    WriteFileBytes(dir.File("locked/file"), "original");
    WriteFileBytes(dir.File("readonly"), "original");
    ::chmod(dir.File("locked").c_str(), 0555);
    ::chmod(dir.File("readonly").c_str(), 0444);
    OpenUp(dir.Path());
    EXPECT_EQ(RunAsOrdinaryUser([&] {
                  return (buffer.SaveToFile(dir.File("locked/file"))
                          || buffer.SaveToFile(dir.File("locked/new"))
                          || buffer.SaveToFile(dir.File("readonly")))
                             ? 1
                             : 0;
              }),
              0);
    EXPECT_FALSE(buffer.SaveToFile(dir.File("readonly")));  // also for the superuser
    EXPECT_EQ(ReadFileBytes(dir.File("locked/file")), "original");
    EXPECT_EQ(ReadFileBytes(dir.File("readonly")), "original");

    auto names = ListDir(dir.Path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"folder", "full", "locked", "readonly"}));
    EXPECT_EQ(ListDir(dir.File("locked")), std::vector<std::string>{"file"});
}
