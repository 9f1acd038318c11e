#pragma once

#include <cstddef>

// What the program asks of the operating system beyond Qt, in one place, so
// that nothing else depends on POSIX or Windows.
namespace Platform {

// True when the process runs with the rights of the system's superuser (uid
// 0). Windows has no such user: administrators keep the browser's sandbox.
bool runsAsRoot();

// The system's ANSI code page (936 where it is GBK); 0 where the system has
// none, as on Linux, whose programs keep to their locale's character set.
unsigned ansiCodePage();

// Asks the system to back a large buffer that is yet to be written with
// large pages: a bank of a million pairs otherwise takes tens of thousands
// of page faults to fill, on some virtual machines the greater part of the
// load. Only advice: nothing changes where the system does not follow it.
void adviseLargePages(const void *data, std::size_t bytes);

} // namespace Platform
