// The file system on POSIX systems.
#include "platform/FileSystem.h"

#include "platform/NativeFiles.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using FileSystem::Kind;
using FileSystem::Status;

struct KindRow
{
    mode_t type; // the S_IFMT bits
    Kind kind;
};

constexpr KindRow KindRows[] = {
    {S_IFREG, Kind::Regular},         {S_IFDIR, Kind::Folder},      {S_IFIFO, Kind::Fifo},
    {S_IFCHR, Kind::CharacterDevice}, {S_IFBLK, Kind::BlockDevice}, {S_IFSOCK, Kind::Socket},
};

Status statusFrom(const struct stat &info)
{
    Kind kind = Kind::Special;
    for (const KindRow &row : KindRows) {
        if ((info.st_mode & S_IFMT) == row.type)
            kind = row.kind;
    }
    return {kind, 0, qint64(info.st_size), unsigned(info.st_mode & 07777)};
}

QByteArray nativePath(const QString &path)
{
    return QFile::encodeName(path);
}

} // namespace

namespace FileSystem {

Status status(const QString &path)
{
    const QByteArray native = nativePath(path);
    struct stat info;
    if (::stat(native.constData(), &info) == 0)
        return statusFrom(info);
    const int errorNumber = errno;
    struct stat link;
    if (errorNumber == ENOENT && ::lstat(native.constData(), &link) == 0)
        return {Kind::BrokenLink, errorNumber};
    return NativeFiles::failure(errorNumber);
}

bool sameFile(const QString &first, const QString &second)
{
    struct stat one, other;
    return ::stat(nativePath(first).constData(), &one) == 0 && ::stat(nativePath(second).constData(), &other) == 0
        && one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

QString errorText(int errorNumber)
{
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

} // namespace FileSystem

namespace NativeFiles {

int openForReading(const QString &path)
{
    return ::open(nativePath(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}

Status statusOf(int descriptor)
{
    struct stat info;
    return ::fstat(descriptor, &info) == 0 ? statusFrom(info) : failure(errno);
}

int createNew(const QString &path)
{
    return ::open(nativePath(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

qint64 writeSome(int descriptor, const char *data, qint64 size)
{
    return ::write(descriptor, data, size_t(size));
}

bool setPermissions(int descriptor, unsigned permissions)
{
    return ::fchmod(descriptor, mode_t(permissions)) == 0;
}

bool flushToDisk(int descriptor)
{
    return ::fsync(descriptor) == 0;
}

bool close(int descriptor)
{
    return ::close(descriptor) == 0;
}

bool renameOver(const QString &from, const QString &to)
{
    return ::rename(nativePath(from).constData(), nativePath(to).constData()) == 0;
}

void remove(const QString &path)
{
    ::unlink(nativePath(path).constData());
}

int standardOutput()
{
    return STDOUT_FILENO;
}

} // namespace NativeFiles
