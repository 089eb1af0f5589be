// Coding the files of an LZH archive on a few threads. The files are cut
// into the encoder's segments; worker threads read and code them ahead of
// the thread writing the archive, which takes them back in the archive's
// order, so the archive is the same bytes whatever the number of threads.
// Only a few segments are ever in flight (each at most LH5_SEGMENT bytes
// and its bits), so memory stays bounded whatever the files' sizes.
#pragma once

#include "archive/lh5encoder.h"
#include "archive/lzhwriter.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct CLzhPackSource
{
    std::string strPath;
    std::int64_t nSize = 0;  // as found when the files were gathered
};

// One segment of a file: its bytes after up to LH5_HISTORY bytes of the
// segment before, and its bits unless the file goes in stored.
struct CLzhPackPiece
{
    std::vector<unsigned char> aData;
    std::size_t nHistory = 0;
    std::size_t nLength = 0;
    CLhBits bits;
    bool bCoded = false;
    // LZH_READ_FAILED when the file could not be read or was no longer as
    // long as when it was found.
    ELzhResult result = LZH_OK;

    const unsigned char *Bytes() const { return aData.data() + nHistory; }
};

class CLzhPackPipeline
{
public:
    // nThreads 0: one per processor, up to a few; 1: everything is done on
    // the calling thread, as Take asks for it.
    CLzhPackPipeline(std::vector<CLzhPackSource> aFiles, int nThreads);
    ~CLzhPackPipeline();
    CLzhPackPipeline(const CLzhPackPipeline &) = delete;
    CLzhPackPipeline &operator=(const CLzhPackPipeline &) = delete;

    std::size_t SegmentCount(std::size_t nFile) const;
    // The next segment in order, file by file; waits for it. The piece
    // stays valid until the next call.
    const CLzhPackPiece &Take();
    // The rest of this file goes in stored: its segments need no coding.
    void SkipCoding(std::size_t nFile);

    // The threads a request for nThreads gets.
    static int ThreadsFor(int nThreads);

private:
    struct CJob
    {
        std::size_t nFile;
        std::int64_t nOffset;
        std::size_t nLength;
    };
    struct CSlot
    {
        CLzhPackPiece piece;
        bool bReady = false;
    };

    void Work();
    void Run(std::size_t nJob, CLzhPackPiece &piece, CLh5SegmentCoder &coder);

    std::vector<CLzhPackSource> m_aFiles;
    std::vector<std::size_t> m_aFirstJob;  // per file, and one past the last
    std::vector<CJob> m_aJobs;
    std::unique_ptr<std::atomic<bool>[]> m_pSkip;
    std::vector<CSlot> m_aSlots;

    std::mutex m_mutex;
    std::condition_variable m_cvWork;  // a slot came free, or stop
    std::condition_variable m_cvDone;  // a piece is ready
    std::size_t m_nNextJob = 0;        // the next job a worker takes
    std::size_t m_nTaken = 0;          // jobs handed to the writer
    bool m_bStop = false;
    std::vector<std::thread> m_aThreads;
    std::unique_ptr<CLh5SegmentCoder> m_pOwnCoder;  // without workers
};
