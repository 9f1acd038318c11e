// The file system on Windows, through the C runtime's descriptors, which set
// errno as POSIX calls do, and the Win32 calls it lacks.
#include "platform/FileSystem.h"

#include "platform/NativeFiles.h"

#include <QDir>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <windows.h>

namespace {

using FileSystem::Kind;
using FileSystem::Status;

struct KindRow
{
    unsigned short type; // the _S_IFMT bits
    Kind kind;
};

constexpr KindRow KindRows[] = {
    {_S_IFREG, Kind::Regular},
    {_S_IFDIR, Kind::Folder},
    {_S_IFIFO, Kind::Fifo},
    {_S_IFCHR, Kind::CharacterDevice},
};

// The C library's numbers for the Win32 errors a rename meets.
struct ErrorRow
{
    DWORD win32;
    int errorNumber;
};

constexpr ErrorRow ErrorRows[] = {
    {ERROR_FILE_NOT_FOUND, ENOENT},     {ERROR_PATH_NOT_FOUND, ENOENT},   {ERROR_ACCESS_DENIED, EACCES},
    {ERROR_SHARING_VIOLATION, EACCES},  {ERROR_LOCK_VIOLATION, EACCES},   {ERROR_WRITE_PROTECT, EROFS},
    {ERROR_DISK_FULL, ENOSPC},          {ERROR_HANDLE_DISK_FULL, ENOSPC}, {ERROR_NOT_SAME_DEVICE, EXDEV},
    {ERROR_FILENAME_EXCED_RANGE, ENAMETOOLONG},
};

int errorNumberOf(DWORD win32)
{
    for (const ErrorRow &row : ErrorRows) {
        if (row.win32 == win32)
            return row.errorNumber;
    }
    return EIO;
}

Status statusFrom(const struct _stat64 &info)
{
    Kind kind = Kind::Special;
    for (const KindRow &row : KindRows) {
        if ((info.st_mode & _S_IFMT) == row.type)
            kind = row.kind;
    }
    return {kind, 0, qint64(info.st_size), 0};
}

std::wstring nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

int openDescriptor(const QString &path, int flags, int sharing)
{
    int descriptor = -1;
    if (const errno_t error = _wsopen_s(&descriptor, nativePath(path).c_str(), flags | _O_BINARY | _O_NOINHERIT, sharing,
                                        _S_IREAD | _S_IWRITE)) {
        errno = error;
        return -1;
    }
    return descriptor;
}

// The volume and the number on it that tell files apart.
bool identify(const QString &path, BY_HANDLE_FILE_INFORMATION &information)
{
    const HANDLE handle = CreateFileW(nativePath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const bool identified = GetFileInformationByHandle(handle, &information) != FALSE;
    CloseHandle(handle);
    return identified;
}

} // namespace

namespace FileSystem {

Status status(const QString &path)
{
    struct _stat64 info;
    if (_wstat64(nativePath(path).c_str(), &info) == 0)
        return statusFrom(info);
    const int errorNumber = errno;
    const DWORD attributes = GetFileAttributesW(nativePath(path).c_str());
    if (errorNumber == ENOENT && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return {Kind::BrokenLink, errorNumber};
    return NativeFiles::failure(errorNumber);
}

bool sameFile(const QString &first, const QString &second)
{
    BY_HANDLE_FILE_INFORMATION one, other;
    return identify(first, one) && identify(second, other) && one.dwVolumeSerialNumber == other.dwVolumeSerialNumber
        && one.nFileIndexHigh == other.nFileIndexHigh && one.nFileIndexLow == other.nFileIndexLow;
}

QString errorText(int errorNumber)
{
    char text[256];
    strerror_s(text, sizeof text, errorNumber);
    return QString::fromLocal8Bit(text);
}

} // namespace FileSystem

namespace NativeFiles {

// Windows keeps no FIFOs among its files, so an open never waits.
int openForReading(const QString &path)
{
    return openDescriptor(path, _O_RDONLY, _SH_DENYNO);
}

Status statusOf(int descriptor)
{
    struct _stat64 info;
    return _fstat64(descriptor, &info) == 0 ? statusFrom(info) : failure(errno);
}

int createNew(const QString &path)
{
    return openDescriptor(path, _O_WRONLY | _O_CREAT | _O_EXCL, _SH_DENYRW);
}

qint64 writeSome(int descriptor, const char *data, qint64 size)
{
    return _write(descriptor, data, unsigned(size));
}

// Windows files carry no permission bits.
bool setPermissions(int, unsigned)
{
    return true;
}

bool flushToDisk(int descriptor)
{
    return _commit(descriptor) == 0;
}

bool close(int descriptor)
{
    return _close(descriptor) == 0;
}

bool renameOver(const QString &from, const QString &to)
{
    if (MoveFileExW(nativePath(from).c_str(), nativePath(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    errno = errorNumberOf(GetLastError());
    return false;
}

void remove(const QString &path)
{
    _wunlink(nativePath(path).c_str());
}

int standardOutput()
{
    const int descriptor = _fileno(stdout);
    _setmode(descriptor, _O_BINARY);
    return descriptor;
}

} // namespace NativeFiles
