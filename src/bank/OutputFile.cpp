#include "bank/OutputFile.h"

#include "bank/SystemError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace OutputFile {
namespace {

constexpr int TemporaryNameAttempts = 100;

bool failWith(QString &error, const QString &path, const QString &cause)
{
    error = QStringLiteral("%1: cannot write: %2").arg(QDir::toNativeSeparators(path), cause);
    return false;
}

// Writes everything, however many calls it takes; false with `errorNumber` on the first failure.
bool writeAll(int descriptor, QByteArrayView bytes, int &errorNumber)
{
    constexpr qsizetype LargestWrite = qsizetype(1) << 30;
    const char *at = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(descriptor, at, size_t(qMin(left, LargestWrite)));
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

bool writeStandardOutput(QByteArrayView bytes, QString &error)
{
    std::fflush(stdout);
    int errorNumber = 0;
    if (writeAll(STDOUT_FILENO, bytes, errorNumber))
        return true;
    error = QStringLiteral("standard output: cannot write: %1").arg(SystemError::text(errorNumber));
    return false;
}

// Where the new bytes go: the output itself, or the file a symbolic link
// names, so that the link stays a link.
struct Target
{
    QString path;
    bool exists = false;
    mode_t mode = 0; // of the file that exists
};

bool findTarget(const QString &path, Target &target, QString &error)
{
    const QByteArray nativePath = QFile::encodeName(path);
    struct stat info;
    if (::stat(nativePath.constData(), &info) != 0) {
        const int errorNumber = errno;
        struct stat link;
        if (errorNumber == ENOENT && ::lstat(nativePath.constData(), &link) == 0)
            return failWith(error, path, QStringLiteral("it is a symbolic link to a file that does not exist"));
        if (errorNumber != ENOENT)
            return failWith(error, path, SystemError::text(errorNumber));
        target = {path, false, 0};
        return true;
    }
    if (!S_ISREG(info.st_mode)) {
        const QString kind = S_ISDIR(info.st_mode) ? QStringLiteral("a folder")
                                                   : QString::fromUtf16(SystemError::specialFileKind(info.st_mode).english);
        error = QStringLiteral("%1: exists and is %2, not a regular file; it is left as it is")
                    .arg(QDir::toNativeSeparators(path), kind);
        return false;
    }
    target = {QFileInfo(path).canonicalFilePath(), true, info.st_mode & 07777};
    return true;
}

// A new file beside the target, named so no other file is met: ".NAME.XXXXXXXX".
int createTemporary(const QString &targetPath, QString &temporaryPath, int &errorNumber)
{
    const QFileInfo target(targetPath);
    for (int attempt = 0; attempt < TemporaryNameAttempts; ++attempt) {
        const QString suffix = QString::number(QRandomGenerator::global()->generate(), 16);
        temporaryPath = target.absolutePath() + QStringLiteral("/.") + target.fileName() + QLatin1Char('.') + suffix;
        const int descriptor = ::open(QFile::encodeName(temporaryPath).constData(),
                                      O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST) {
            errorNumber = errno;
            return descriptor;
        }
    }
    errorNumber = EEXIST;
    return -1;
}

// Everything that can fail before the rename, on the open temporary file.
bool fillTemporary(int descriptor, const Target &target, QByteArrayView bytes, int &errorNumber)
{
    if (target.exists && ::fchmod(descriptor, target.mode) != 0) {
        errorNumber = errno;
        return false;
    }
    if (!writeAll(descriptor, bytes, errorNumber))
        return false;
    if (::fsync(descriptor) != 0) {
        errorNumber = errno;
        return false;
    }
    return true;
}

} // namespace

bool writeWhole(const QString &path, QByteArrayView bytes, QString &error)
{
    if (path == QLatin1String("-"))
        return writeStandardOutput(bytes, error);
    Target target;
    if (!findTarget(path, target, error))
        return false;
    QString temporaryPath;
    int errorNumber = 0;
    const int descriptor = createTemporary(target.path, temporaryPath, errorNumber);
    if (descriptor < 0) {
        return failWith(error, path, QStringLiteral("cannot create a file in the folder %1: %2")
                                         .arg(QDir::toNativeSeparators(QFileInfo(target.path).absolutePath()),
                                              SystemError::text(errorNumber)));
    }
    const QByteArray nativeTemporary = QFile::encodeName(temporaryPath);
    bool written = fillTemporary(descriptor, target, bytes, errorNumber);
    if (::close(descriptor) != 0 && written) {
        errorNumber = errno;
        written = false;
    }
    if (written && ::rename(nativeTemporary.constData(), QFile::encodeName(target.path).constData()) != 0) {
        errorNumber = errno;
        written = false;
    }
    if (!written) {
        ::unlink(nativeTemporary.constData());
        return failWith(error, path, SystemError::text(errorNumber));
    }
    return true;
}

bool isSameFile(const QString &input, const QString &output)
{
    struct stat in, out;
    return ::stat(QFile::encodeName(input).constData(), &in) == 0 && ::stat(QFile::encodeName(output).constData(), &out) == 0
        && in.st_dev == out.st_dev && in.st_ino == out.st_ino;
}

} // namespace OutputFile
