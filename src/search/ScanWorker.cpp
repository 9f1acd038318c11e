#include "search/ScanWorker.h"

#include <system_error>

ScanWorker &ScanWorker::shared()
{
    static ScanWorker worker;
    return worker;
}

ScanWorker::~ScanWorker()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

bool ScanWorker::take()
{
    const std::lock_guard lock(m_mutex);
    if (m_taken)
        return false;
    if (!m_thread.joinable()) {
        try {
            m_thread = std::thread([this] { serve(); });
        } catch (const std::system_error &) {
            return false;
        }
    }
    m_taken = true;
    return true;
}

bool ScanWorker::runBeside(const std::function<void()> &job, const std::function<void()> &here)
{
    if (!take())
        return false;
    {
        const std::lock_guard lock(m_mutex);
        m_job = &job;
    }
    m_changed.notify_all();
    here();
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_job == nullptr; });
    m_taken = false;
    return true;
}

std::int64_t ScanWorker::jobsRun() const
{
    const std::lock_guard lock(m_mutex);
    return m_jobsRun;
}

void ScanWorker::serve()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_job != nullptr || m_stop; });
        if (m_stop)
            return;
        const std::function<void()> &job = *m_job;
        lock.unlock();
        job();
        lock.lock();
        m_job = nullptr;
        ++m_jobsRun;
        m_changed.notify_all();
    }
}
