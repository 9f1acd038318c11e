#include "ResidentMemory.h"

#include <fstream>
#include <string>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

std::int64_t residentBytes()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            std::int64_t kilobytes = -1;
            status >> kilobytes;
            return kilobytes * 1024;
        }
        status.ignore(1 << 12, '\n');
    }
    return -1;
}

void releaseFreedMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
