#include "archive/lzhpackjobs.h"

#include "text/filehandle.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// More threads than this gain little: reading and writing the archive
// stay on one thread each.
constexpr int MAX_THREADS = 8;

} // namespace

int CLzhPackPipeline::ThreadsFor(int nThreads)
{
    if (nThreads <= 0)
        nThreads = static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(nThreads, 1, MAX_THREADS);
}

CLzhPackPipeline::CLzhPackPipeline(std::vector<CLzhPackSource> aFiles, int nThreads) : m_aFiles(std::move(aFiles))
{
    for (std::size_t f = 0; f < m_aFiles.size(); ++f) {
        m_aFirstJob.push_back(m_aJobs.size());
        const std::int64_t nSize = m_aFiles[f].nSize;
        for (std::int64_t nOffset = 0; nOffset < nSize; nOffset += static_cast<std::int64_t>(LH5_SEGMENT))
            m_aJobs.push_back({f, nOffset, static_cast<std::size_t>(
                                               std::min<std::int64_t>(nSize - nOffset, LH5_SEGMENT))});
    }
    m_aFirstJob.push_back(m_aJobs.size());
    m_pSkip = std::make_unique<std::atomic<bool>[]>(m_aFiles.size());
    for (std::size_t f = 0; f < m_aFiles.size(); ++f)
        m_pSkip[f].store(false);

    nThreads = ThreadsFor(nThreads);
    if (nThreads == 1 || m_aJobs.size() <= 1) {
        m_aSlots.resize(1);
        m_pOwnCoder = std::make_unique<CLh5SegmentCoder>();
        return;
    }
    // Two pieces per thread keep every thread busy while the writer is
    // behind by one.
    m_aSlots.resize(static_cast<std::size_t>(2 * nThreads + 1));
    for (int i = 0; i < nThreads; ++i)
        m_aThreads.emplace_back([this] { Work(); });
}

CLzhPackPipeline::~CLzhPackPipeline()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
    }
    m_cvWork.notify_all();
    for (std::thread &t : m_aThreads)
        t.join();
}

std::size_t CLzhPackPipeline::SegmentCount(std::size_t nFile) const
{
    return m_aFirstJob[nFile + 1] - m_aFirstJob[nFile];
}

void CLzhPackPipeline::SkipCoding(std::size_t nFile)
{
    m_pSkip[nFile].store(true, std::memory_order_relaxed);
}

void CLzhPackPipeline::Run(std::size_t nJob, CLzhPackPiece &piece, CLh5SegmentCoder &coder)
{
    const CJob &job = m_aJobs[nJob];
    piece.nHistory = static_cast<std::size_t>(std::min<std::int64_t>(job.nOffset, LH5_HISTORY));
    piece.nLength = job.nLength;
    piece.bCoded = false;
    piece.result = LZH_OK;
    piece.aData.resize(piece.nHistory + piece.nLength);
    const CFileHandle in = CFileHandle::Open(m_aFiles[job.nFile].strPath, O_RDONLY);
    if (!in.IsOpen() || in.ReadFullyAt(piece.aData.data(), piece.aData.size(),
                                       job.nOffset - std::int64_t(piece.nHistory)) !=
                            static_cast<ssize_t>(piece.aData.size())) {
        piece.result = LZH_READ_FAILED;
        return;
    }
    // A file that grew since it was found is packed as long as it was then;
    // one that shrank fails above.
    if (m_pSkip[job.nFile].load(std::memory_order_relaxed))
        return;
    coder.Code(piece.aData.data(), piece.nHistory, piece.nLength, piece.bits);
    piece.bCoded = true;
}

void CLzhPackPipeline::Work()
{
    CLh5SegmentCoder coder;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        // A slot is free once the writer has moved past its last piece.
        m_cvWork.wait(lock, [&] {
            return m_bStop || m_nNextJob >= m_aJobs.size() ||
                   m_nNextJob < (m_nTaken == 0 ? 0 : m_nTaken - 1) + m_aSlots.size();
        });
        if (m_bStop || m_nNextJob >= m_aJobs.size())
            return;
        const std::size_t nJob = m_nNextJob++;
        CSlot &slot = m_aSlots[nJob % m_aSlots.size()];
        lock.unlock();
        Run(nJob, slot.piece, coder);
        lock.lock();
        slot.bReady = true;
        m_cvDone.notify_all();
    }
}

const CLzhPackPiece &CLzhPackPipeline::Take()
{
    const std::size_t nJob = m_nTaken;
    if (m_aThreads.empty()) {
        ++m_nTaken;
        Run(nJob, m_aSlots[0].piece, *m_pOwnCoder);
        return m_aSlots[0].piece;
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    // The piece handed out last is given back: its slot may take a new job.
    if (nJob > 0)
        m_aSlots[(nJob - 1) % m_aSlots.size()].bReady = false;
    ++m_nTaken;
    m_cvWork.notify_all();
    CSlot &slot = m_aSlots[nJob % m_aSlots.size()];
    m_cvDone.wait(lock, [&] { return slot.bReady; });
    return slot.piece;
}
