// The file system on POSIX systems.
#include "platform/FileSystem.h"

#include "platform/NativeFiles.h"

#include <QFile>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iterator>
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

// The temporary file a signal handler removes, kept where the handler can
// read it without taking memory or locks.
constexpr int RemovingSignals[] = {SIGINT, SIGTERM, SIGHUP};
char pendingRemoval[PATH_MAX];
volatile std::sig_atomic_t removalPending = 0;
struct sigaction previousActions[std::size(RemovingSignals)];
bool handlerInstalled[std::size(RemovingSignals)] = {};

extern "C" void removePendingAndResignal(int signalNumber)
{
    if (removalPending)
        ::unlink(pendingRemoval);
    for (std::size_t index = 0; index < std::size(RemovingSignals); ++index) {
        if (RemovingSignals[index] == signalNumber)
            ::sigaction(signalNumber, &previousActions[index], nullptr);
    }
    // Blocked until the handler returns, then taken as before.
    ::raise(signalNumber);
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

int createUnnamed(const QString &folder)
{
#ifdef O_TMPFILE
    return ::open(nativePath(folder).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
#else
    Q_UNUSED(folder);
    errno = EOPNOTSUPP;
    return -1;
#endif
}

bool nameUnnamed(int descriptor, const QString &path)
{
    const QByteArray open = "/proc/self/fd/" + QByteArray::number(descriptor);
    return ::linkat(AT_FDCWD, open.constData(), AT_FDCWD, nativePath(path).constData(), AT_SYMLINK_FOLLOW) == 0;
}

qint64 readSomeAt(int descriptor, char *data, qint64 size, qint64 offset)
{
    return ::pread(descriptor, data, size_t(size), off_t(offset));
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

void removeIfInterrupted(const QString &path)
{
    const QByteArray native = nativePath(path);
    removalPending = 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    if (native.size() >= qsizetype(sizeof pendingRemoval))
        return;
    std::memcpy(pendingRemoval, native.constData(), std::size_t(native.size()) + 1);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    removalPending = 1;
    for (std::size_t index = 0; index < std::size(RemovingSignals); ++index) {
        struct sigaction current;
        if (handlerInstalled[index] || ::sigaction(RemovingSignals[index], nullptr, &current) != 0)
            continue;
        if (current.sa_handler == SIG_IGN) // ignored, as under nohup: the signal ends nothing
            continue;
        struct sigaction removing = {};
        removing.sa_handler = removePendingAndResignal;
        sigemptyset(&removing.sa_mask);
        previousActions[index] = current;
        handlerInstalled[index] = ::sigaction(RemovingSignals[index], &removing, nullptr) == 0;
    }
}

void stopRemovingIfInterrupted()
{
    removalPending = 0;
    for (std::size_t index = 0; index < std::size(RemovingSignals); ++index) {
        if (handlerInstalled[index])
            ::sigaction(RemovingSignals[index], &previousActions[index], nullptr);
        handlerInstalled[index] = false;
    }
}

int standardOutput()
{
    return STDOUT_FILENO;
}

} // namespace NativeFiles
