// Loading a file into the buffer.
//
// The text goes a block at a time into the text arena as it stands (read
// there from the file, or copied) and is cut there, while the block is still
// in the processor's cache, at the separators of its line-end mode: the line
// records point at each line's bytes, and the separators stay between them
// unused. Nothing is copied or allocated per line, and the arena is sized
// from the file so that it is taken in one piece.
#include "text/filehandle.h"
#include "text/fileio.h"
#include "text/textbuffer.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <new>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr std::size_t READ_BLOCK = 256 * 1024;

#if defined(__SSE2__)
// A bit for each of the 64 bytes at p that equals the byte in v.
inline std::uint64_t MatchMask64(const char *p, __m128i v)
{
    const auto Part = [&](int n) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + 16 * n));
        return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, v))));
    };
    return Part(0) | Part(1) << 16 | Part(2) << 32 | Part(3) << 48;
}
#endif

// Calls fnSeparators(i, mask) for each stretch of at most 64 bytes from
// p + i that holds separators, with a bit set in mask for the first byte of
// each. The separator is chSep, or CR LF when bPair; a CR that is the last
// byte is not reported, since its LF may follow later. Short lines are the
// common case, so the bytes are compared 64 at a time instead of one search
// per line.
template <class F>
void ForEachSeparatorMask(const char *p, std::size_t n, char chSep, bool bPair, F &&fnSeparators)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i vSep = _mm_set1_epi8(chSep);
    const __m128i vLF = _mm_set1_epi8('\n');
    const std::size_t nNeed = bPair ? 65 : 64;
    for (; i + nNeed <= n; i += 64) {
        std::uint64_t mask = MatchMask64(p + i, vSep);
        if (bPair && mask)
            mask &= MatchMask64(p + i + 1, vLF);
        if (mask)
            fnSeparators(i, mask);
    }
#endif
    for (; i < n; i += 64) {
        const std::size_t nEnd = std::min(n, i + 64);
        std::uint64_t mask = 0;
        for (std::size_t k = i; k < nEnd; ++k) {
            if (p[k] == chSep && (!bPair || (k + 1 < n && p[k + 1] == '\n')))
                mask |= std::uint64_t{1} << (k - i);
        }
        if (mask)
            fnSeparators(i, mask);
    }
}

// Adds to aLines a record for each line of [p, p + n) that a separator ends,
// the first one starting at pLine (which may lie before p); returns where
// the line after the last separator starts. A stretch's records are written
// four at a time whether or not it has as many separators: the loop then
// rarely depends on their number, and the records past the count are
// written over later.
char *CutLines(char *p, std::size_t n, char chSep, bool bPair, char *pLine, CLineArray &aLines)
{
    const std::size_t nSepLength = bPair ? 2 : 1;
    ForEachSeparatorMask(p, n, chSep, bPair, [&](std::size_t i, std::uint64_t mask) {
        TextLine *pRecord = aLines.EndWithRoom(64);
        int nCount = 0;
        char *const pAt = p + i;
        do {
            for (int j = 0; j < 4; ++j) {
                // An empty mask leaves pLine as it is (the bit added only spares ctz a zero).
                char *const pSep = pAt + __builtin_ctzll(mask | std::uint64_t{1} << 63);
                *pRecord++ = TextLine{pLine, static_cast<int>(pSep - pLine), 0};
                pLine = mask ? pSep + nSepLength : pLine;
                nCount += mask != 0;
                mask &= mask - 1;
            }
        } while (mask);
        aLines.Added(nCount);
    });
    return pLine;
}

struct CFreeDeleter
{
    void operator()(char *p) const { std::free(p); }
};

} // namespace

namespace {

class CFileSource : public CCrystalTextBuffer::CLoadSource
{
public:
    CFileSource(const CFileHandle &file, char *pBlock) : m_file(file), m_pBlock(pBlock) {}
    std::ptrdiff_t Next(const char *&p) override
    {
        p = m_pBlock;
        return m_file.ReadFully(m_pBlock, READ_BLOCK);
    }

private:
    const CFileHandle &m_file;
    char *m_pBlock;
};

class CMemorySource : public CCrystalTextBuffer::CLoadSource
{
public:
    explicit CMemorySource(std::string_view bytes) : m_bytes(bytes) {}
    std::ptrdiff_t Next(const char *&p) override
    {
        const std::size_t n = std::min(m_bytes.size(), READ_BLOCK);
        p = m_bytes.data();
        m_bytes.remove_prefix(n);
        return static_cast<std::ptrdiff_t>(n);
    }

private:
    std::string_view m_bytes;
};

// The halves of a text, each from a source of its own.
template <class TSource>
class CSourceHalves : public CCrystalTextBuffer::CHalvesSource
{
public:
    CSourceHalves(TSource first, TSource second) : m_first(std::move(first)), m_second(std::move(second)) {}
    CCrystalTextBuffer::CLoadSource &First() override { return m_first; }
    CCrystalTextBuffer::CLoadSource &Second() override { return m_second; }
    bool SecondStands(char *, std::size_t) override { return true; }

private:
    TSource m_first;
    TSource m_second;
};

// The bytes [nFrom, nTo) of a file, read a block at a time; a file that
// ends before nTo fails the read with EAGAIN.
class CFileRangeSource : public CCrystalTextBuffer::CLoadSource
{
public:
    CFileRangeSource(int fd, std::size_t nFrom, std::size_t nTo) : m_fd(fd), m_nAt(nFrom), m_nTo(nTo) {}
    std::ptrdiff_t Next(const char *&p) override
    {
        if (!m_pBlock)
            m_pBlock = std::make_unique<char[]>(READ_BLOCK);
        p = m_pBlock.get();
        return NextInto(m_pBlock.get());
    }
    std::ptrdiff_t NextInto(char *pOut) override
    {
        const std::size_t nWant = std::min(READ_BLOCK, m_nTo - m_nAt);
        if (nWant == 0)
            return 0;
        const ssize_t n = FdReadFullyAt(m_fd, pOut, nWant, static_cast<std::int64_t>(m_nAt));
        if (n >= 0 && static_cast<std::size_t>(n) < nWant) {
            errno = EAGAIN;
            return -1;
        }
        if (n > 0)
            m_nAt += static_cast<std::size_t>(n);
        return n;
    }

private:
    int m_fd;
    std::size_t m_nAt;
    std::size_t m_nTo;
    std::unique_ptr<char[]> m_pBlock;
};

// Puts the text a source gives (at most nSize bytes) at pOut as it stands,
// a block at a time, and cuts it there at the separators into lines, one
// record each in aLines. The separators stay between the lines' bytes: a
// block is one read or copy, and each line costs only its record. The bytes
// after the last separator are one more line with bLastLine; without it the
// text ends with a separator. Returns the end of the bytes written, null
// when the source fails or (between blocks) once *pbStop is set.
char *CutSourceLines(CCrystalTextBuffer::CLoadSource &source, std::size_t nSize, char chSep, bool bPair, char *pOut,
                     CLineArray &aLines, bool bLastLine, const std::atomic<bool> *pbStop = nullptr)
{
    char *pLine = pOut;
    bool bPendingCR = false;  // the block before ended in a CR whose LF may open this one
    aLines.SetGrowBy(4096);
    for (bool bFirst = true;; bFirst = false) {
        if (pbStop && pbStop->load(std::memory_order_relaxed))
            return nullptr;
        const std::ptrdiff_t nRead = source.NextInto(pOut);
        if (nRead < 0)
            return nullptr;
        if (nRead == 0)
            break;
        const auto n = static_cast<std::size_t>(nRead);
        if (bPendingCR && pOut[0] == '\n') {
            aLines.Add(TextLine{pLine, static_cast<int>(pOut - 1 - pLine), 0});
            pLine = pOut + 1;
        }
        pLine = CutLines(pOut, n, chSep, bPair, pLine, aLines);
        pOut += n;
        bPendingCR = bPair && pOut[-1] == '\r';
        // The density of lines in the first block foretells the array's
        // size, which spares growing it step by step.
        if (bFirst && nSize > n) {
            const double dLines = static_cast<double>(aLines.GetSize()) / static_cast<double>(n) *
                                  static_cast<double>(nSize) * 1.05 + 64;
            aLines.Reserve(static_cast<int>(std::min(dLines, double(INT_MAX / 4))));
        }
    }
    if (bLastLine)
        aLines.Add(TextLine{pLine, static_cast<int>(pOut - pLine), 0});
    return pOut;
}

} // namespace

std::ptrdiff_t CCrystalTextBuffer::CLoadSource::NextInto(char *pOut)
{
    const char *p = nullptr;
    const std::ptrdiff_t n = Next(p);
    if (n > 0)
        std::memcpy(pOut, p, static_cast<std::size_t>(n));
    return n;
}

bool CCrystalTextBuffer::LoadFromFile(const std::string &strPath, int nLineEndMode)
{
    struct stat st;
    if (::stat(strPath.c_str(), &st) != 0)
        return false;
    if (S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        return false;
    }
    const CFileHandle file = CFileHandle::Open(strPath, O_RDONLY);
    if (!file.IsOpen() || ::fstat(file.Get(), &st) != 0)
        return false;
    ::posix_fadvise(file.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);

    FreeAll();
    std::unique_ptr<char, CFreeDeleter> pBlock(static_cast<char *>(std::aligned_alloc(4096, READ_BLOCK)));
    if (!pBlock)
        return false;
    CFileSource source(file, pBlock.get());
    if (!LoadFromSource(source, S_ISREG(st.st_mode) ? static_cast<long long>(st.st_size) : -1, nLineEndMode))
        return false;
    m_bReadOnly = IsFileReadOnly(strPath);
    return true;
}

bool CCrystalTextBuffer::LoadFromMemory(std::string_view bytes, int nLineEndMode)
{
    FreeAll();
    CHalves halves;
    if (FindHalves(bytes, nLineEndMode, halves)) {
        CSourceHalves<CMemorySource> source(CMemorySource(bytes.substr(0, halves.nSecondAt)),
                                            CMemorySource(bytes.substr(halves.nSecondAt)));
        return LoadFromHalves(source, halves, bytes.size());
    }
    CMemorySource source(bytes);
    return LoadFromSource(source, static_cast<long long>(bytes.size()), nLineEndMode);
}

bool CCrystalTextBuffer::FindHalves(std::string_view bytes, int nLineEndMode, CHalves &halves)
{
    if (bytes.size() < HALVES_FROM || bytes.size() >= static_cast<std::size_t>(INT_MAX))
        return false;
    const std::size_t nMiddle = bytes.size() / 2;
    int nMode = nLineEndMode;
    if (nMode < LINEEND_CRLF || nMode > LINEEND_CR) {
        CLineEndDetector detector;
        if (!detector.Feed(bytes.substr(0, nMiddle)))
            return false;
        nMode = detector.GetMode();
    }
    const char chSep = nMode == LINEEND_LF ? '\n' : '\r';
    const bool bPair = nMode == LINEEND_CRLF;
    std::size_t nSplit = nMiddle;
    for (;;) {
        const void *pHit = std::memchr(bytes.data() + nSplit, chSep, bytes.size() - nSplit);
        if (!pHit)
            return false;
        nSplit = static_cast<std::size_t>(static_cast<const char *>(pHit) - bytes.data());
        if (!bPair || (nSplit + 1 < bytes.size() && bytes[nSplit + 1] == '\n'))
            break;
        ++nSplit;
    }
    halves.nMode = nMode;
    halves.nSecondAt = nSplit + (bPair ? 2 : 1);
    return true;
}

bool CCrystalTextBuffer::LoadFromHalves(CHalvesSource &source, const CHalves &halves, std::size_t nSize)
{
    FreeAll();
    try {
        return CutHalves(source, halves, nSize);
    } catch (const std::bad_alloc &) {
        FreeAll();
        errno = ENOMEM;
        return false;
    }
}

bool CCrystalTextBuffer::LoadFileHalves(int fd, const CHalves &halves, std::size_t nSize)
{
    CSourceHalves<CFileRangeSource> source(CFileRangeSource(fd, 0, halves.nSecondAt),
                                           CFileRangeSource(fd, halves.nSecondAt, nSize));
    return LoadFromHalves(source, halves, nSize);
}

// Each half goes to its own part of one arena block: the second half's bytes
// start at its offset in the text, which the first half's never pass (a
// source gives at most its half's bytes). The lines are the same as cutting
// the text from the start would give.
bool CCrystalTextBuffer::CutHalves(CHalvesSource &source, const CHalves &halves, std::size_t nSize)
{
    const char chSep = halves.nMode == LINEEND_LF ? '\n' : '\r';
    const bool bPair = halves.nMode == LINEEND_CRLF;
    m_arena.SetNextBlockSize(nSize);
    m_arena.Reserve(0, 0);
    char *const pBase = m_arena.Top();
    char *const pSecond = pBase + halves.nSecondAt;
    const std::size_t nSecondSize = nSize - halves.nSecondAt;
    CLineArray aSecond;
    char *pEnd = nullptr;
    bool bSecondFailed = false;
    // Once the first half fails, the load does: the second is not read on.
    std::atomic<bool> bGiveUp{false};
    int nSecondErrno = 0;
    const auto cutSecond = [&] {
        try {
            pEnd = CutSourceLines(source.Second(), nSecondSize, chSep, bPair, pSecond, aSecond, true, &bGiveUp);
            nSecondErrno = errno;  // this thread's, for the caller's
        } catch (const std::bad_alloc &) {
            bSecondFailed = true;
        }
    };
    std::thread worker;
    try {
        worker = std::thread(cutSecond);
    } catch (const std::system_error &) {
    }
    bool bFirstFailed = false;
    char *pFirstEnd = nullptr;
    int nFirstErrno = 0;
    try {
        pFirstEnd = CutSourceLines(source.First(), halves.nSecondAt, chSep, bPair, pBase, m_aLines, false);
        nFirstErrno = errno;
    } catch (const std::bad_alloc &) {
        bFirstFailed = true;
    }
    // The first half ends in the separator it was cut after, unless its bytes
    // are no longer those the halves were found in (a file rewritten since):
    // cut as they are, bytes would go missing between the halves.
    const std::string_view strSeparator = LineEndSeparator(halves.nMode);
    if (pFirstEnd && (static_cast<std::size_t>(pFirstEnd - pBase) < strSeparator.size() ||
                      std::string_view(pFirstEnd - strSeparator.size(), strSeparator.size()) != strSeparator)) {
        pFirstEnd = nullptr;
        nFirstErrno = EAGAIN;
    }
    const bool bFirstRead = pFirstEnd != nullptr;
    if (bFirstFailed || !bFirstRead)
        bGiveUp.store(true, std::memory_order_relaxed);
    if (worker.joinable())
        worker.join();
    else
        cutSecond();
    if (bFirstFailed || bSecondFailed)
        throw std::bad_alloc();
    if (!bFirstRead) {
        FreeAll();
        errno = nFirstErrno;
        return false;
    }
    if (!source.SecondStands(pSecond, pEnd ? static_cast<std::size_t>(pEnd - pSecond) : 0)) {
        aSecond.RemoveAll();
        pEnd = CutSourceLines(source.Second(), nSecondSize, chSep, bPair, pSecond, aSecond, true);
        nSecondErrno = errno;
    }
    if (!pEnd) {
        FreeAll();
        errno = nSecondErrno;
        return false;
    }
    if (static_cast<long long>(m_aLines.GetSize()) + aSecond.GetSize() >= INT_MAX - 1)
        throw std::bad_alloc();
    m_aLines.AppendFrom(aSecond);
    m_arena.SetTop(pEnd);
    m_aLines.SetGrowBy(0);
    m_nLineEndMode = halves.nMode;
    FinishLoad();
    return true;
}

bool CCrystalTextBuffer::LoadFromSource(CLoadSource &source, long long nSize, int nLineEndMode)
{
    const char *block = nullptr;
    std::ptrdiff_t nRead = source.Next(block);
    if (nRead < 0)
        return false;

    // Without a mode given, the first line break decides it, however far
    // into the text it lies; until then every byte belongs to the first line.
    CLineEndDetector detector;
    bool bDecided = nLineEndMode >= LINEEND_CRLF && nLineEndMode <= LINEEND_CR;
    char chSep = '\r';
    bool bPair = true;
    const auto UseMode = [&](int nMode) {
        m_nLineEndMode = nMode;
        chSep = nMode == LINEEND_LF ? '\n' : '\r';
        bPair = nMode == LINEEND_CRLF;
    };
    if (bDecided)
        UseMode(nLineEndMode);

    try {
        m_aLines.SetGrowBy(4096);
        // The text fits in the file's size.
        if (nSize >= 0)
            m_arena.SetNextBlockSize(static_cast<std::size_t>(nSize));
        m_arena.Reserve(0, 0);
        std::size_t nCarry = 0;   // bytes of the unfinished line, just below the arena's top
        bool bPendingCR = false;  // the carried bytes end in a CR whose LF may open the next block
        bool bFirst = true;
        while (nRead > 0) {
            const auto n = static_cast<std::size_t>(nRead);
            m_arena.Reserve(n, nCarry);
            char *pTop = m_arena.Top();
            char *pLine = pTop - nCarry;
            std::memcpy(pTop, block, n);
            if (!bDecided) {
                const bool bCarriedCR = detector.IsAwaitingByteAfterCr();
                bDecided = detector.Feed(std::string_view(block, n));
                if (bDecided) {
                    UseMode(detector.GetMode());
                    // The CR that ended the bytes before is the first break.
                    if (bCarriedCR && bPair) {
                        bPendingCR = true;
                    } else if (bCarriedCR) {
                        m_aLines.Add(TextLine{pLine, static_cast<int>(pTop - 1 - pLine), 0});
                        pLine = pTop;
                    }
                }
            }
            if (bPendingCR) {
                bPendingCR = false;
                if (pTop[0] == '\n') {
                    // The CR was the first half of the separator.
                    m_aLines.Add(TextLine{pLine, static_cast<int>(pTop - 1 - pLine), 0});
                    pLine = pTop + 1;
                }
            }
            if (bDecided) {
                // A block of n bytes ends at most n lines.
                if (static_cast<long long>(m_aLines.GetSize()) + static_cast<long long>(n) >= INT_MAX - 1)
                    throw std::bad_alloc();
                pLine = CutLines(pTop, n, chSep, bPair, pLine, m_aLines);
                bPendingCR = bPair && pTop[n - 1] == '\r';
            }
            pTop += n;
            nCarry = static_cast<std::size_t>(pTop - pLine);
            m_arena.SetTop(pTop);
            if (nCarry > static_cast<std::size_t>(INT_MAX - 32))
                throw std::bad_alloc();

            // The density of lines in the first block cut into lines foretells
            // the array's size, which spares growing it step by step.
            if (bDecided && bFirst && nSize >= 0 && static_cast<std::size_t>(nSize) > n) {
                const double dLines = static_cast<double>(m_aLines.GetSize()) / static_cast<double>(n) *
                                      static_cast<double>(nSize) * 1.05 + 64;
                m_aLines.Reserve(static_cast<int>(std::min(dLines, double(INT_MAX / 2))));
                bFirst = false;
            }
            nRead = source.Next(block);
            if (nRead < 0) {
                FreeAll();
                return false;
            }
        }
        if (!bDecided) {
            // A text without a break, or whose only candidate is a CR at its very end.
            const bool bEndsInCR = detector.IsAwaitingByteAfterCr();
            detector.Finish();
            UseMode(detector.GetMode());
            if (bEndsInCR) {
                m_aLines.Add(TextLine{m_arena.Top() - nCarry, static_cast<int>(nCarry - 1), 0});
                nCarry = 0;
            }
        }
        char *pLine = m_arena.Top() - nCarry;
        m_aLines.Add(TextLine{pLine, static_cast<int>(nCarry), 0});
    } catch (const std::bad_alloc &) {
        FreeAll();
        errno = ENOMEM;
        return false;
    }
    m_aLines.SetGrowBy(0);
    FinishLoad();
    return true;
}

void CCrystalTextBuffer::FinishLoad()
{
    m_bInit = true;
    m_bReadOnly = false;
    m_bModified = false;
    m_bInUndoGroup = false;
    m_bNextStartsGroup = false;
    m_nUndoLimit = UNDO_LIMIT;
    m_nUndoPos = 0;
    m_nSavedUndoPos = 0;
    NotifyViews(nullptr, nullptr, NOTIFY_RESET, -1);
}
