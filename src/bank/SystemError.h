#pragma once

#include <QString>

// What the system says went wrong with a file, in words for a message.
namespace SystemError {

// The system's own words for an error number, as strerror gives them.
QString text(int errorNumber);

// The kind of a file that is neither a regular file nor a folder, by its stat mode.
struct SpecialKind
{
    const char16_t *english; // "a FIFO (named pipe)"
    const char16_t *chinese; // "命名管道"
};
SpecialKind specialFileKind(unsigned mode);

} // namespace SystemError
