#include "platform/FileSystem.h"

#include "platform/NativeFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>

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

// A new file beside the target, named so no other file is met: ".NAME.XXXXXXXX".
int createTemporary(const QString &targetPath, QString &temporaryPath, int &errorNumber)
{
    const QFileInfo target(targetPath);
    for (int attempt = 0; attempt < TemporaryNameAttempts; ++attempt) {
        const QString suffix = QString::number(QRandomGenerator::global()->generate(), 16);
        temporaryPath = target.absolutePath() + QStringLiteral("/.") + target.fileName() + QLatin1Char('.') + suffix;
        const int descriptor = NativeFiles::createNew(temporaryPath);
        if (descriptor >= 0 || errno != EEXIST) {
            errorNumber = errno;
            return descriptor;
        }
    }
    errorNumber = EEXIST;
    return -1;
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
    QString temporaryPath;
    int errorNumber = 0;
    const int descriptor = createTemporary(path, temporaryPath, errorNumber);
    if (descriptor < 0)
        return {WriteResult::Failure::CannotCreate, errorNumber};
    bool written = fillTemporary(descriptor, current, bytes, errorNumber);
    if (!NativeFiles::close(descriptor) && written) {
        errorNumber = errno;
        written = false;
    }
    if (written && !NativeFiles::renameOver(temporaryPath, path)) {
        errorNumber = errno;
        written = false;
    }
    if (!written) {
        NativeFiles::remove(temporaryPath);
        return {WriteResult::Failure::CannotWrite, errorNumber};
    }
    return {};
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
