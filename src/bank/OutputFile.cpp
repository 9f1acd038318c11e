#include "bank/OutputFile.h"

#include "bank/FileKindWords.h"
#include "platform/FileSystem.h"

#include <QDir>
#include <QFileInfo>

namespace OutputFile {
namespace {

bool failWith(QString &error, const QString &path, const QString &cause)
{
    error = QStringLiteral("%1: cannot write: %2").arg(QDir::toNativeSeparators(path), cause);
    return false;
}

bool writeStandardOutput(QByteArrayView bytes, QString &error)
{
    int errorNumber = 0;
    if (FileSystem::writeStandardOutput(bytes, errorNumber))
        return true;
    error = QStringLiteral("standard output: cannot write: %1").arg(FileSystem::errorText(errorNumber));
    return false;
}

// Where the new bytes go: the output itself, or the file a symbolic link
// names, so that the link stays a link.
struct Target
{
    QString path;
    FileSystem::Status status;
};

bool refuseExisting(QString &error, const QString &path, FileSystem::Kind kind)
{
    const QString words = kind == FileSystem::Kind::Folder ? QStringLiteral("a folder")
                                                           : fileKindWords(kind);
    error = QStringLiteral("%1: exists and is %2, not a regular file; it is left as it is").arg(QDir::toNativeSeparators(path), words);
    return false;
}

bool findTarget(const QString &path, Target &target, QString &error)
{
    using FileSystem::Kind;
    const FileSystem::Status status = FileSystem::status(path);
    switch (status.kind) {
    case Kind::Missing:
        target = {path, status};
        return true;
    case Kind::BrokenLink:
        return failWith(error, path, QStringLiteral("it is a symbolic link to a file that does not exist"));
    case Kind::Unreachable:
        return failWith(error, path, FileSystem::errorText(status.errorNumber));
    case Kind::Regular:
        target = {QFileInfo(path).canonicalFilePath(), status};
        return true;
    default:
        return refuseExisting(error, path, status.kind);
    }
}

} // namespace

bool writeWhole(const QString &path, QByteArrayView bytes, QString &error)
{
    if (path == QLatin1String("-"))
        return writeStandardOutput(bytes, error);
    Target target;
    if (!findTarget(path, target, error))
        return false;
    using Failure = FileSystem::WriteResult::Failure;
    const FileSystem::WriteResult result = FileSystem::replaceFile(target.path, bytes, target.status);
    if (result.failure == Failure::None)
        return true;
    const QString cause = FileSystem::errorText(result.errorNumber);
    if (result.failure == Failure::CannotCreate) {
        const QString folder = QDir::toNativeSeparators(QFileInfo(target.path).absolutePath());
        return failWith(error, path, QStringLiteral("cannot create a file in the folder %1: %2").arg(folder, cause));
    }
    return failWith(error, path, cause);
}

} // namespace OutputFile
