#include "FailureText.h"

#include "bank/FileKindWords.h"

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
    case Kind::CannotWrite:
        return failure.outputMessage;
    }
    return path;
}
