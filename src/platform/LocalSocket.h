#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Stream sockets in the file system (AF_UNIX), for the window's hand-over
// between its starts: what QtNetwork's local sockets would give, without
// loading QtNetwork for it. Descriptors are closed on exec, so programs the
// window starts do not inherit them.
namespace LocalSocket {

// Listens at `path`, for the user alone (the file is made 0600). A socket
// file already there, which no one answered on, is replaced. The descriptor
// does not block; nothing when the socket cannot be made.
std::optional<int> listenAt(const QString &path);

// The descriptor of a connection to the socket at `path`, which blocks;
// nothing when no one listens there.
std::optional<int> connectTo(const QString &path);

// The next connection waiting on a listening descriptor, which does not
// block; nothing when none waits.
std::optional<int> accept(int listening);

// Reads what has come, up to 4 KB; empty at the end of the connection or on
// an error. `timeoutMs` < 0 waits as long as it takes.
QByteArray readSome(int connection, int timeoutMs);

// Writes all of `bytes`; false when the other side has gone.
bool writeAll(int connection, const QByteArray &bytes);

void close(int descriptor);

// Closes a listening descriptor and removes its socket file.
void stopListening(int listening, const QString &path);

} // namespace LocalSocket
