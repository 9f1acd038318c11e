#pragma once

#include <cstdint>

// The process's resident memory in bytes (VmRSS), or -1 where it cannot be read.
std::int64_t residentBytes();

// Hands freed heap memory back to the system, so that a following reading of
// residentBytes() counts only what is in use.
void releaseFreedMemory();
