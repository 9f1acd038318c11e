#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

// A second thread for long scans. It is kept for the life of the process, so
// that a keystroke pays no thread start, and started at the first job. One
// caller has it at a time.
class ScanWorker
{
public:
    // The process's worker.
    static ScanWorker &shared();

    ScanWorker() = default;
    // Stops the thread and waits for it.
    ~ScanWorker();

    ScanWorker(const ScanWorker &) = delete;
    ScanWorker &operator=(const ScanWorker &) = delete;

    // Runs `job` on the worker while `here` runs on the calling thread, and
    // returns once both have ended; neither may throw. Runs neither and
    // returns false while another caller has the worker, or where the system
    // refuses a thread (a process limit, say): the caller then does the
    // whole of the work itself.
    bool runBeside(const std::function<void()> &job, const std::function<void()> &here);

    // How many jobs the worker has run.
    std::int64_t jobsRun() const;

private:
    // Takes the worker for one job, starting its thread where there is none.
    bool take();
    void serve();

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    const std::function<void()> *m_job = nullptr; // the job waiting or running
    bool m_taken = false;                         // a caller has the worker
    bool m_stop = false;
    std::int64_t m_jobsRun = 0;
    std::thread m_thread;
};
