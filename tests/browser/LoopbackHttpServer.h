#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QTcpServer>
#include <QUrl>

// A tiny HTTP server on 127.0.0.1 that serves fixed pages to the browser
// engine under test and records every request it receives.
class LoopbackHttpServer : public QObject
{
    Q_OBJECT

public:
    struct Request
    {
        QByteArray Method;
        QByteArray Target; // as on the request line
        QList<QPair<QByteArray, QByteArray>> Headers;
        QByteArray header(const QByteArray &name) const;
    };

    LoopbackHttpServer();

    quint16 port() const { return m_server.serverPort(); }
    QUrl url(const QString &path) const;

    // Serves the HTML at the path; any other path answers 404.
    void addPage(const QByteArray &path, const QByteArray &html);

    // Requests for the page, the favicon's aside.
    QList<Request> pageRequests() const;

private:
    void serve(QTcpSocket *socket);
    static QByteArray response(int status, const QByteArray &body);

    QTcpServer m_server;
    QHash<QByteArray, QByteArray> m_pages;
    QList<Request> m_requests;
    QHash<QTcpSocket *, QByteArray> m_buffers; // requests still arriving
};
