#include "platform/Platform.h"

#include <cstdint>
#include <new>

#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>
#include <unistd.h>

namespace Platform {

bool runsAsRoot()
{
    return geteuid() == 0;
}

void adviseLargePages(const void *data, std::size_t bytes)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    // Below this, large pages would not pay.
    constexpr std::size_t LargeBufferBytes = std::size_t(4) << 20;
    if (bytes < LargeBufferBytes)
        return;
    const auto pageSize = std::uintptr_t(sysconf(_SC_PAGESIZE));
    const std::uintptr_t begin = (std::uintptr_t(data) + pageSize - 1) & ~(pageSize - 1);
    const std::uintptr_t end = (std::uintptr_t(data) + bytes) & ~(pageSize - 1);
    if (end > begin)
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

void runThreadWhenIdle()
{
#if defined(__linux__) && defined(SCHED_IDLE)
    const sched_param parameters{};
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &parameters);
#endif
}

PageBuffer::PageBuffer(std::size_t bytes, Pages pages) : m_bytes(bytes)
{
    if (bytes == 0)
        return;
    int flags = MAP_PRIVATE | MAP_ANONYMOUS;
#if defined(MAP_POPULATE)
    if (pages == Pages::AtOnce)
        flags |= MAP_POPULATE;
#else
    (void)pages;
#endif
    void *data = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, flags, -1, 0);
    if (data == MAP_FAILED)
        throw std::bad_alloc();
    m_data = static_cast<char *>(data);
}

PageBuffer::~PageBuffer()
{
    if (m_data)
        munmap(m_data, m_bytes);
}

} // namespace Platform
