#include "platform/FileSystem.h"

#include "platform/NativeFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <functional>

namespace FileSystem {
namespace {

constexpr int TemporaryNameAttempts = 100;

// Everything, however many calls it takes; false with `errorNumber` on the first failure.
bool writeAll(int descriptor, QByteArrayView bytes, int &errorNumber)
{
    constexpr qsizetype LargestWrite = qsizetype(1) << 30;
    const char *at = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const qint64 written = NativeFiles::writeSome(descriptor, at, qMin(left, LargestWrite));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0) {
            errorNumber = errno;
            return false;
        }
        at += written;
        left -= written;
    }
    return true;
}

// A name beside the target that no other file has, ".NAME.XXXXXXXX", for
// which `make` succeeds; false with `errorNumber` when it fails otherwise.
bool nameBeside(const QString &targetPath, QString &temporaryPath, int &errorNumber,
                const std::function<bool(const QString &)> &make)
{
    const QFileInfo target(targetPath);
    for (int attempt = 0; attempt < TemporaryNameAttempts; ++attempt) {
        const QString suffix = QString::number(QRandomGenerator::global()->generate(), 16);
        temporaryPath = target.absolutePath() + QStringLiteral("/.") + target.fileName() + QLatin1Char('.') + suffix;
        if (make(temporaryPath)) {
            NativeFiles::removeIfInterrupted(temporaryPath);
            return true;
        }
        if (errno != EEXIST) {
            errorNumber = errno;
            return false;
        }
    }
    errorNumber = EEXIST;
    return false;
}

// Everything that can fail before the rename, on the open temporary file.
bool fillTemporary(int descriptor, const Status &current, QByteArrayView bytes, int &errorNumber)
{
    if (current.kind == Kind::Regular && !NativeFiles::setPermissions(descriptor, current.permissions)) {
        errorNumber = errno;
        return false;
    }
    if (!writeAll(descriptor, bytes, errorNumber))
        return false;
    if (!NativeFiles::flushToDisk(descriptor)) {
        errorNumber = errno;
        return false;
    }
    return true;
}

// Closes the filled temporary file and renames it over `path`; whatever
// fails, the temporary file is gone afterwards.
WriteResult putInPlace(int descriptor, const QString &temporaryPath, const QString &path, bool written, int errorNumber)
{
    if (!NativeFiles::close(descriptor) && written) {
        errorNumber = errno;
        written = false;
    }
    if (written && !NativeFiles::renameOver(temporaryPath, path)) {
        errorNumber = errno;
        written = false;
    }
    if (!written)
        NativeFiles::remove(temporaryPath);
    NativeFiles::stopRemovingIfInterrupted();
    return written ? WriteResult{} : WriteResult{WriteResult::Failure::CannotWrite, errorNumber};
}

// Written as a file without a name, which the system drops however the
// process ends, and named only once it is whole. False when the system
// offers no such file here or will not name it; the caller writes a named
// one then.
bool replaceThroughUnnamedFile(const QString &path, QByteArrayView bytes, const Status &current, WriteResult &result)
{
    const int descriptor = NativeFiles::createUnnamed(QFileInfo(path).absolutePath());
    if (descriptor < 0)
        return false;
    int errorNumber = 0;
    if (!fillTemporary(descriptor, current, bytes, errorNumber)) {
        NativeFiles::close(descriptor);
        result = {WriteResult::Failure::CannotWrite, errorNumber};
        return true;
    }
    QString temporaryPath;
    if (!nameBeside(path, temporaryPath, errorNumber,
                    [&](const QString &name) { return NativeFiles::nameUnnamed(descriptor, name); })) {
        NativeFiles::close(descriptor);
        return false;
    }
    result = putInPlace(descriptor, temporaryPath, path, true, 0);
    return true;
}

} // namespace

Status openForReading(const QString &path, QFile &file)
{
    const int descriptor = NativeFiles::openForReading(path);
    if (descriptor < 0)
        return NativeFiles::failure(errno);
    const Status opened = NativeFiles::statusOf(descriptor);
    if (opened.kind != Kind::Regular
        || !file.open(descriptor, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle))
        NativeFiles::close(descriptor);
    return opened;
}

WriteResult replaceFile(const QString &path, QByteArrayView bytes, const Status &current)
{
    WriteResult result;
    if (replaceThroughUnnamedFile(path, bytes, current, result))
        return result;
    QString temporaryPath;
    int errorNumber = 0;
    int descriptor = -1;
    if (!nameBeside(path, temporaryPath, errorNumber, [&](const QString &name) {
            descriptor = NativeFiles::createNew(name);
            return descriptor >= 0;
        }))
        return {WriteResult::Failure::CannotCreate, errorNumber};
    const bool written = fillTemporary(descriptor, current, bytes, errorNumber);
    return putInPlace(descriptor, temporaryPath, path, written, errorNumber);
}

qint64 readAt(QFile &file, char *into, qint64 bytes, qint64 offset, int &errorNumber)
{
    qint64 total = 0;
    while (total < bytes) {
        const qint64 read = NativeFiles::readSomeAt(file.handle(), into + total, bytes - total, offset + total);
        if (read < 0 && errno == EINTR)
            continue;
        if (read < 0) {
            errorNumber = errno;
            return -1;
        }
        if (read == 0)
            break;
        total += read;
    }
    return total;
}

bool writeStandardOutput(QByteArrayView bytes, int &errorNumber)
{
    std::fflush(stdout);
    return writeAll(NativeFiles::standardOutput(), bytes, errorNumber);
}

} // namespace FileSystem

namespace NativeFiles {

FileSystem::Status failure(int errorNumber)
{
    return {errorNumber == ENOENT ? FileSystem::Kind::Missing : FileSystem::Kind::Unreachable, errorNumber};
}

} // namespace NativeFiles
