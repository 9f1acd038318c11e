#include "bank/InputFile.h"

#include "bank/BankFile.h"

#include <QFile>

#include <new>

namespace InputFile {
namespace {

using Kind = BankFailure::Kind;

bool fail(BankFailure &failure, Kind kind, const QString &path)
{
    failure = BankFailure{};
    failure.kind = kind;
    failure.path = path;
    return false;
}

bool checkKind(const QString &path, const FileSystem::Status &status, BankFailure &failure)
{
    switch (status.kind) {
    case FileSystem::Kind::Missing:
    case FileSystem::Kind::BrokenLink:
        return fail(failure, Kind::Missing, path);
    case FileSystem::Kind::Unreachable:
        fail(failure, Kind::CannotOpen, path);
        failure.errorNumber = status.errorNumber;
        return false;
    case FileSystem::Kind::Folder:
        return fail(failure, Kind::Folder, path);
    case FileSystem::Kind::Regular:
        if (status.size <= BankFile::MaxBytes)
            return true;
        fail(failure, Kind::TooLarge, path);
        failure.size = status.size;
        return false;
    default:
        fail(failure, Kind::NotRegular, path);
        failure.fileKind = status.kind;
        return false;
    }
}

bool failWithText(BankFailure &failure, Kind kind, const QString &path, const QString &systemText)
{
    fail(failure, kind, path);
    failure.systemText = systemText;
    return false;
}

} // namespace

bool open(const QString &path, QFile &file, qint64 &size, BankFailure &failure)
{
    failure = BankFailure{};
    if (!checkKind(path, FileSystem::status(path), failure))
        return false;
    const FileSystem::Status opened = FileSystem::openForReading(path, file);
    if (!checkKind(path, opened, failure)) {
        file.close();
        return false;
    }
    if (!file.isOpen())
        return failWithText(failure, Kind::CannotOpen, path, file.errorString());
    size = opened.size;
    return true;
}

bool readWhole(const QString &path, QByteArray &bytes, BankFailure &failure)
{
    QFile file;
    qint64 size = 0;
    if (!open(path, file, size, failure))
        return false;
    try {
        QByteArray read(size, Qt::Uninitialized);
        qint64 total = 0;
        while (total < size) {
            const qint64 got = file.read(read.data() + total, size - total);
            if (got < 0)
                return failWithText(failure, Kind::ReadFailed, path, file.errorString());
            if (got == 0)
                break;
            total += got;
        }
        read.truncate(total);
        bytes = std::move(read);
    } catch (const std::bad_alloc &) {
        fail(failure, Kind::OutOfMemory, path);
        failure.size = size;
        return false;
    }
    return true;
}

} // namespace InputFile
