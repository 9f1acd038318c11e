#include "platform/Platform.h"

#include <cstdint>

#include <unistd.h>
#if defined(__linux__)
#include <sys/mman.h>
#endif

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

} // namespace Platform
