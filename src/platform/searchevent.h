// The cancel signal of a folder search: an auto-reset event that the worker
// tests between files (a zero wait), and a flag it polls inside a file and
// that stops a running expression match. Cancel sets both.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

class CSearchEvent
{
public:
    void Set();
    // Waits up to the timeout; true when the event was set, which resets it.
    bool Wait(std::chrono::milliseconds timeout = std::chrono::milliseconds(0));

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_bSignalled = false;
};

struct CSearchCancel
{
    CSearchEvent event;
    std::atomic<bool> bCancelled{false};

    void Cancel()
    {
        bCancelled = true;
        event.Set();
    }
};
