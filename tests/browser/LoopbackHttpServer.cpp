#include "LoopbackHttpServer.h"

#include <QTcpSocket>

namespace {

const QByteArray HeaderEnd = "\r\n\r\n";

LoopbackHttpServer::Request parseRequest(const QByteArray &head)
{
    LoopbackHttpServer::Request request;
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.Method = requestLine.value(0);
    request.Target = requestLine.value(1);
    for (qsizetype n = 1; n < lines.size(); ++n) {
        const QByteArray line = lines[n].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            request.Headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    return request;
}

} // namespace

QByteArray LoopbackHttpServer::Request::header(const QByteArray &name) const
{
    for (const auto &[key, value] : Headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

LoopbackHttpServer::LoopbackHttpServer()
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                m_buffers.remove(socket);
                socket->deleteLater();
            });
        }
    });
    if (!m_server.listen(QHostAddress::LocalHost))
        qFatal("cannot listen on 127.0.0.1: %s", qPrintable(m_server.errorString()));
}

QUrl LoopbackHttpServer::url(const QString &path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path));
}

void LoopbackHttpServer::addPage(const QByteArray &path, const QByteArray &html)
{
    m_pages.insert(path, html);
}

QList<LoopbackHttpServer::Request> LoopbackHttpServer::pageRequests() const
{
    QList<Request> pages;
    for (const Request &request : m_requests) {
        if (request.Target != "/favicon.ico")
            pages << request;
    }
    return pages;
}

void LoopbackHttpServer::serve(QTcpSocket *socket)
{
    // The request is whole once its head has ended; the browser sends GETs
    // only, so there is no body to wait for.
    QByteArray &received = m_buffers[socket];
    received += socket->readAll();
    if (!received.contains(HeaderEnd))
        return;
    const Request request = parseRequest(received.left(received.indexOf(HeaderEnd)));
    m_buffers.remove(socket);
    m_requests << request;
    const auto page = m_pages.constFind(request.Target);
    socket->write(page == m_pages.constEnd() ? response(404, "<html><body>not found</body></html>")
                                             : response(200, *page));
    socket->disconnectFromHost();
}

QByteArray LoopbackHttpServer::response(int status, const QByteArray &body)
{
    return "HTTP/1.1 " + QByteArray::number(status) + (status == 200 ? " OK" : " Not Found")
        + "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: "
        + QByteArray::number(body.size()) + "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n" + body;
}
