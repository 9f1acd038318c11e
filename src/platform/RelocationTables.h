#pragma once

#include <cstddef>

// The dynamic loader reads each shared object's relocation table once, while
// it loads the object, and never again. The browser engine's alone is 11 MB,
// read by the window and by each of the engine's processes, and it would stay
// resident in each for as long as it runs.
namespace RelocationTables {

// Lets go of the pages that hold nothing but the relocation tables of the
// objects loaded so far. They are the file's unchanged pages, so one read
// later would bring them back as they were. The bytes let go.
std::size_t release();

} // namespace RelocationTables
