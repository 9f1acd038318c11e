#include "bank/OutputFile.h"

#include "platform/FileSystem.h"

#include <QFileInfo>

namespace OutputFile {
namespace {

using Kind = BankFailure::Kind;

bool failWith(BankFailure &failure, Kind kind, const QString &path, int errorNumber = 0)
{
    failure.kind = kind;
    failure.path = path;
    failure.errorNumber = errorNumber;
    return false;
}

bool writeStandardOutput(QByteArrayView bytes, BankFailure &failure)
{
    int errorNumber = 0;
    return FileSystem::writeStandardOutput(bytes, errorNumber)
        || failWith(failure, Kind::StandardOutputFailed, QStringLiteral("-"), errorNumber);
}

// Where the new bytes go: the output itself, or the file a symbolic link
// names, so that the link stays a link.
struct Target
{
    QString path;
    FileSystem::Status status;
};

bool findTarget(const QString &path, Target &target, BankFailure &failure)
{
    using FileSystem::Kind;
    const FileSystem::Status status = FileSystem::status(path);
    switch (status.kind) {
    case Kind::Missing:
        target = {path, status};
        return true;
    case Kind::BrokenLink:
        return failWith(failure, BankFailure::Kind::OutputBrokenLink, path);
    case Kind::Unreachable:
        return failWith(failure, BankFailure::Kind::CannotWrite, path, status.errorNumber);
    case Kind::Regular:
        target = {QFileInfo(path).canonicalFilePath(), status};
        return true;
    default:
        failure.fileKind = status.kind;
        return failWith(failure, BankFailure::Kind::OutputExists, path);
    }
}

} // namespace

bool writeWhole(const QString &path, QByteArrayView bytes, BankFailure &failure)
{
    if (path == QLatin1String("-"))
        return writeStandardOutput(bytes, failure);
    Target target;
    if (!findTarget(path, target, failure))
        return false;
    using Failure = FileSystem::WriteResult::Failure;
    const FileSystem::WriteResult result = FileSystem::replaceFile(target.path, bytes, target.status);
    if (result.failure == Failure::None)
        return true;
    if (result.failure == Failure::CannotCreate)
        failure.folder = QFileInfo(target.path).absolutePath();
    return failWith(failure, result.failure == Failure::CannotCreate ? Kind::CannotCreateIn : Kind::CannotWrite, path,
                    result.errorNumber);
}

} // namespace OutputFile
