#include "platform/LocalSocket.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace LocalSocket {
namespace {

constexpr int Backlog = 8;
constexpr qsizetype ReadPiece = 4096;

std::optional<sockaddr_un> addressOf(const QString &path)
{
    const QByteArray file = QFile::encodeName(path);
    sockaddr_un address{};
    if (file.isEmpty() || std::size_t(file.size()) >= sizeof address.sun_path)
        return std::nullopt;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, file.constData(), std::size_t(file.size()));
    return address;
}

std::optional<int> newSocket(int flags)
{
    const int descriptor = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | flags, 0);
    if (descriptor < 0)
        return std::nullopt;
    return descriptor;
}

bool bindTo(int descriptor, const sockaddr_un &address)
{
    return ::bind(descriptor, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
}

} // namespace

std::optional<int> listenAt(const QString &path)
{
    const std::optional<sockaddr_un> address = addressOf(path);
    const std::optional<int> descriptor = address ? newSocket(SOCK_NONBLOCK) : std::nullopt;
    if (!descriptor)
        return std::nullopt;
    bool bound = bindTo(*descriptor, *address);
    if (!bound && errno == EADDRINUSE) {
        ::unlink(address->sun_path);
        bound = bindTo(*descriptor, *address);
    }
    if (!bound || ::chmod(address->sun_path, S_IRUSR | S_IWUSR) != 0 || ::listen(*descriptor, Backlog) != 0) {
        ::close(*descriptor);
        return std::nullopt;
    }
    return descriptor;
}

std::optional<int> connectTo(const QString &path)
{
    const std::optional<sockaddr_un> address = addressOf(path);
    const std::optional<int> descriptor = address ? newSocket(0) : std::nullopt;
    if (!descriptor)
        return std::nullopt;
    if (::connect(*descriptor, reinterpret_cast<const sockaddr *>(&*address), sizeof *address) != 0) {
        ::close(*descriptor);
        return std::nullopt;
    }
    return descriptor;
}

std::optional<int> accept(int listening)
{
    const int connection = ::accept4(listening, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0)
        return std::nullopt;
    return connection;
}

QByteArray readSome(int connection, int timeoutMs)
{
    pollfd wanted{connection, POLLIN, 0};
    int ready = 0;
    do
        ready = ::poll(&wanted, 1, timeoutMs);
    while (ready < 0 && errno == EINTR);
    if (ready <= 0)
        return {};
    QByteArray bytes(ReadPiece, Qt::Uninitialized);
    ssize_t count = 0;
    do
        count = ::read(connection, bytes.data(), std::size_t(bytes.size()));
    while (count < 0 && errno == EINTR);
    bytes.resize(count > 0 ? qsizetype(count) : 0);
    return bytes;
}

bool writeAll(int connection, const QByteArray &bytes)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t count = ::send(connection, bytes.constData() + written, std::size_t(bytes.size() - written), MSG_NOSIGNAL);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        written += qsizetype(count);
    }
    return true;
}

void close(int descriptor)
{
    ::close(descriptor);
}

void stopListening(int listening, const QString &path)
{
    ::close(listening);
    ::unlink(QFile::encodeName(path).constData());
}

} // namespace LocalSocket
