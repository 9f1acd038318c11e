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

} // namespace Platform
