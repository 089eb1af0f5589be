#include "platform/searchevent.h"

void CSearchEvent::Set()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_bSignalled = true;
    }
    m_cv.notify_one();
}

bool CSearchEvent::Wait(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_cv.wait_for(lock, timeout, [this] { return m_bSignalled; }))
        return false;
    m_bSignalled = false;
    return true;
}
