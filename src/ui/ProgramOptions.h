#pragma once

#include <optional>

// The window reads no settings from its command line; it only answers
// --version and --help, given alone. Qt's own options pass through to Qt.
namespace ProgramOptions {

// The exit status when the command line asked for an answer, which is
// printed on stdout; nothing when the window is to start.
std::optional<int> answer(int argc, char *argv[]);

} // namespace ProgramOptions
