#pragma once

#include "platform/FileSystem.h"

// The words for a file that is neither a regular file nor a folder, for the
// messages that refuse it.
struct FileKindWords
{
    const char16_t *english; // "a FIFO (named pipe)"
    const char16_t *chinese; // "命名管道"
};

FileKindWords fileKindWords(FileSystem::Kind kind);
