#pragma once

#include <cstddef>

// What the program asks of the operating system beyond Qt, in one place, so
// that nothing else depends on POSIX.
namespace Platform {

// True when the process runs with the rights of the system's superuser (uid 0).
bool runsAsRoot();

// Asks the system to back a large buffer that is yet to be written with
// large pages: a bank of a million pairs otherwise takes tens of thousands
// of page faults to fill, on some virtual machines the greater part of the
// load. Only advice: nothing changes where the system does not follow it.
void adviseLargePages(const void *data, std::size_t bytes);

// Asks the system to run the calling thread only on time that no other
// thread wants (Linux's SCHED_IDLE), for work that may wait. Only advice.
void runThreadWhenIdle();

// A buffer taken straight from the system and handed back whole when it is
// gone: the C library would keep a freed buffer of a few mebibytes for
// later. Its pages are handed over at once, or as each is first written.
// Throws std::bad_alloc when there is no memory.
class PageBuffer
{
public:
    enum class Pages { AtOnce, OnFirstWrite };

    explicit PageBuffer(std::size_t bytes, Pages pages = Pages::AtOnce);
    ~PageBuffer();

    PageBuffer(const PageBuffer &) = delete;
    PageBuffer &operator=(const PageBuffer &) = delete;

    char *data() const { return m_data; }

private:
    char *m_data = nullptr;
    std::size_t m_bytes;
};

} // namespace Platform
