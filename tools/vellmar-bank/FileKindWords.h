#pragma once

#include "platform/FileSystem.h"

// The English words for a file that is neither a regular file nor a folder,
// for the tool's messages that refuse it: "a FIFO (named pipe)".
QString fileKindWords(FileSystem::Kind kind);
