#pragma once

#include <QByteArrayView>
#include <QString>

class QFile;

// What the bank's reader and writer ask of the file system beyond Qt: what a
// path names, opening without blocking, replacing a file safely. Errors are
// the C library's error numbers (ENOENT, EACCES, ...) on every system, so
// that callers can tell causes apart without knowing which system it is.
namespace FileSystem {

enum class Kind {
    Missing,     // nothing there (errorNumber ENOENT)
    BrokenLink,  // a symbolic link to nothing (errorNumber ENOENT)
    Unreachable, // cannot be looked at: errorNumber says why
    Regular,
    Folder,
    Fifo,
    CharacterDevice,
    BlockDevice,
    Socket,
    Special, // any other kind of node
};

struct Status
{
    Kind kind = Kind::Missing;
    int errorNumber = 0;
    qint64 size = 0;
    unsigned permissions = 0; // the permission bits, where the system has them
};

// What `path` names, symbolic links followed.
Status status(const QString &path);

// Opens `path` for reading and says what it opened. Opening never waits for
// a FIFO's writer; `file` is left open only on a regular file, unbuffered.
Status openForReading(const QString &path, QFile &file);

// Reads up to `bytes` of the open `file` from `offset` on, without moving its
// position, so that two threads may read one open file at once. The bytes
// read, fewer only at the end of the file; -1 with `errorNumber` on failure.
qint64 readAt(QFile &file, char *into, qint64 bytes, qint64 offset, int &errorNumber);

// True when both paths name one file that exists: by the same path, a hard
// link or a symbolic link.
bool sameFile(const QString &first, const QString &second);

struct WriteResult
{
    enum class Failure { None, CannotCreate, CannotWrite };
    Failure failure = Failure::None;
    int errorNumber = 0;
};

// Replaces the file at `path` by one holding `bytes`, through a new file
// beside it that is written whole, flushed to the disk and renamed over it:
// an interruption leaves the old file or the new one, a failure leaves the
// old one and no new file. The new file has no name until it is whole where
// the system allows (so that even a killed process leaves none); a named one
// is removed on an interrupt, a termination or a hang-up. `current` is what status() said of `path`; a
// regular file's permissions carry over. CannotCreate: no new file could be
// made in the folder.
WriteResult replaceFile(const QString &path, QByteArrayView bytes, const Status &current);

// Writes all of `bytes` to standard output, after what the C library holds
// for it; false with `errorNumber` on failure.
bool writeStandardOutput(QByteArrayView bytes, int &errorNumber);

// The system's own words for an error number.
QString errorText(int errorNumber);

} // namespace FileSystem
