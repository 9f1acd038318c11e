#pragma once

#include <QDBusConnection>
#include <QDBusError>
#include <QObject>
#include <QTimer>
#include <QVariantMap>

// One request to the desktop portal (org.freedesktop.portal.Desktop): the
// call, which returns a Request object at once, and the answer the portal
// gives later on that object's Response signal. Nothing waits: finished()
// follows exactly once, and the request then deletes itself.
class PortalRequest : public QObject
{
    Q_OBJECT

public:
    static const QString Service;
    static const QString Path;

    struct Answer
    {
        // The call failed (no portal, no such interface, no reply); `error` says how.
        bool callFailed = false;
        // The call went through but no Response came in time.
        bool timedOut = false;
        QDBusError error;
        // The portal's code: 0 done, 1 cancelled by the user, 2 ended another way.
        uint response = 2;
        QVariantMap results;
    };

    // Calls `method` of `interface` with `arguments` and, last, `options`,
    // to which the request's handle_token is added. `answerTimeoutMs` counts
    // from the call on.
    static PortalRequest *send(QDBusConnection bus, const QString &interface, const QString &method,
                               QVariantList arguments, QVariantMap options, int answerTimeoutMs, QObject *parent);

    // The string that names `window` to the portal: "x11:XID" for an X
    // window, empty where there is none to name.
    static QString parentWindow(const QObject *window);

signals:
    void finished(const PortalRequest::Answer &answer);

private:
    PortalRequest(QDBusConnection bus, QObject *parent);
    void call(const QString &interface, const QString &method, QVariantList arguments, QVariantMap options, int answerTimeoutMs);
    void listenAt(const QString &requestPath);
    void finish(const Answer &answer);
    Q_SLOT void responded(uint response, const QVariantMap &results);

    QDBusConnection m_bus;
    QString m_requestPath;
    QTimer m_timeout;
    bool m_done = false;
};
