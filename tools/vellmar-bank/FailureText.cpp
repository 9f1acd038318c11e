#include "FailureText.h"

#include "FileKindWords.h"

#include <QDir>

namespace {

using Kind = BankFailure::Kind;

QString cause(const BankFailure &failure)
{
    return failure.errorNumber == 0 ? failure.systemText : FileSystem::errorText(failure.errorNumber);
}

} // namespace

QString failureText(const BankFailure &failure)
{
    const QString path = QDir::toNativeSeparators(failure.path);
    switch (failure.kind) {
    case Kind::None:
        return {};
    case Kind::NoCodePage:
        return QStringLiteral("%1: cannot decode: this Qt build has no GBK (code page 936) converter").arg(path);
    case Kind::Missing:
        return QStringLiteral("%1: no such file").arg(path);
    case Kind::Folder:
        return QStringLiteral("%1: is a folder, not a file").arg(path);
    case Kind::CannotOpen:
        return QStringLiteral("%1: cannot read: %2").arg(path, cause(failure));
    case Kind::TooLarge:
        return QStringLiteral("%1: too large to load (%2 bytes; the most a bank can hold is 2147483647)").arg(path, QString::number(failure.size));
    case Kind::ReadFailed:
        return QStringLiteral("%1: read error: %2").arg(path, cause(failure));
    case Kind::Empty:
        return QStringLiteral("%1: empty (0 bytes)").arg(path);
    case Kind::NotRegular:
        return QStringLiteral("%1: not a regular file but %2; only a regular file is read").arg(path, fileKindWords(failure.fileKind));
    case Kind::OutOfMemory:
        return QStringLiteral("%1: not enough memory to load it (%2 bytes)").arg(path, QString::number(failure.size));
    case Kind::BankTooLarge:
        return QStringLiteral("%1: the bank would be %2 bytes, more than a bank can hold (2147483647)").arg(path, QString::number(failure.size));
    case Kind::OutputExists:
        return QStringLiteral("%1: exists and is %2, not a regular file; it is left as it is")
            .arg(path, failure.fileKind == FileSystem::Kind::Folder ? QStringLiteral("a folder") : fileKindWords(failure.fileKind));
    case Kind::OutputBrokenLink:
        return QStringLiteral("%1: cannot write: it is a symbolic link to a file that does not exist").arg(path);
    case Kind::CannotCreateIn:
        return QStringLiteral("%1: cannot write: cannot create a file in the folder %2: %3")
            .arg(path, QDir::toNativeSeparators(failure.folder), cause(failure));
    case Kind::CannotWrite:
        return QStringLiteral("%1: cannot write: %2").arg(path, cause(failure));
    case Kind::StandardOutputFailed:
        return QStringLiteral("standard output: cannot write: %1").arg(cause(failure));
    }
    return path;
}
