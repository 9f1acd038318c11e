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

    // Runs `here` on the calling thread and `job` on the worker at the same
    // time where it can, and returns once both have run; neither may throw.
    // Where another caller has the worker, where the system refuses a thread
    // (a process limit, say), or where the worker has not begun `job` by the
    // time `here` ends (its core busy with another program), `job` runs on
    // the calling thread after `here`: the caller never waits for a thread
    // that has not started.
    void runBeside(const std::function<void()> &job, const std::function<void()> &here);

    // How many jobs the worker has run.
    std::int64_t jobsRun() const;

private:
    // Takes the worker for one job, starting its thread where there is none;
    // false where another caller has it or no thread can be started.
    bool take();
    void serve();

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    const std::function<void()> *m_job = nullptr; // the job waiting or running
    bool m_running = false;                       // the worker has begun m_job
    bool m_taken = false;                         // a caller has the worker
    bool m_stop = false;
    std::int64_t m_jobsRun = 0;
    std::thread m_thread;
};
