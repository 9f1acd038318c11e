#pragma once

#include "platform/FileSystem.h"

// The calls on files that FileSystem builds on (FileSystemPosix.cpp), apart
// from what FileSystem makes of them. Files are the C library's
// descriptors; a failure returns -1 or false and leaves its cause in errno.
namespace NativeFiles {

// Opens for reading only, without waiting for a FIFO's writer.
int openForReading(const QString &path);
// What the open file is; the cause in the status when it cannot be told.
FileSystem::Status statusOf(int descriptor);

// A file that did not exist before, for writing.
int createNew(const QString &path);
// A file without a name in `folder`, for writing, which the system drops
// when it is closed unnamed or the process ends; -1 where the system or the
// file system offers none.
int createUnnamed(const QString &folder);
// Gives such a file the name `path`, which must be free.
bool nameUnnamed(int descriptor, const QString &path);
// Reads some of `size` bytes from `offset` on without moving the file's
// position: how many, 0 at the end, or -1.
qint64 readSomeAt(int descriptor, char *data, qint64 size, qint64 offset);
// Writes some of `size` bytes: how many, or -1.
qint64 writeSome(int descriptor, const char *data, qint64 size);
bool setPermissions(int descriptor, unsigned permissions);
bool flushToDisk(int descriptor);
bool close(int descriptor);
// Renames `from` to `to`, in place of a file that is there.
bool renameOver(const QString &from, const QString &to);
void remove(const QString &path);
// While set, an interrupt, a termination or a hang-up removes the file at
// `path` before the signal ends the process as it would have.
void removeIfInterrupted(const QString &path);
void stopRemovingIfInterrupted();
// Standard output, taking bytes as they are.
int standardOutput();

// The status of a path that could not be looked at for `errorNumber`.
FileSystem::Status failure(int errorNumber);

} // namespace NativeFiles
