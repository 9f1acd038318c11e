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

void ScanWorker::runBeside(const std::function<void()> &job, const std::function<void()> &here)
{
    if (!take()) {
        here();
        job();
        return;
    }
    {
        const std::lock_guard lock(m_mutex);
        m_job = &job;
    }
    m_changed.notify_all();
    here();
    std::unique_lock lock(m_mutex);
    // A job the worker has not begun is taken back; one it has begun is waited for.
    const bool takenBack = m_job != nullptr && !m_running;
    if (takenBack)
        m_job = nullptr;
    else
        m_changed.wait(lock, [this] { return m_job == nullptr; });
    m_taken = false;
    lock.unlock();
    if (takenBack)
        job();
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
        m_running = true;
        lock.unlock();
        job();
        lock.lock();
        m_job = nullptr;
        m_running = false;
        ++m_jobsRun;
        m_changed.notify_all();
    }
}
