#include "screen/PortalRequest.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace {

const QString RequestInterface = QStringLiteral("org.freedesktop.portal.Request");
// The call itself may have to start the portal through the bus first.
constexpr int CallTimeoutMs = 25000;

// Unique within the program; the portal joins it to our name on the bus.
QString nextHandleToken()
{
    static quint64 counter = 0;
    return QStringLiteral("vellmar_%1").arg(++counter);
}

// Where the portal puts the Request object for our token (its documented
// rule), so that we listen before the answer can come.
QString expectedRequestPath(const QDBusConnection &bus, const QString &token)
{
    QString sender = bus.baseService().mid(1);
    sender.replace(u'.', u'_');
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
}

} // namespace

const QString PortalRequest::Service = QStringLiteral("org.freedesktop.portal.Desktop");
const QString PortalRequest::Path = QStringLiteral("/org/freedesktop/portal/desktop");

PortalRequest::PortalRequest(QDBusConnection bus, QObject *parent) : QObject(parent), m_bus(std::move(bus))
{
    m_timeout.setSingleShot(true);
    connect(&m_timeout, &QTimer::timeout, this, [this] {
        // The portal may still be showing a dialog for it.
        if (!m_requestPath.isEmpty())
            m_bus.call(QDBusMessage::createMethodCall(Service, m_requestPath, RequestInterface, QStringLiteral("Close")),
                       QDBus::NoBlock);
        Answer answer;
        answer.timedOut = true;
        finish(answer);
    });
}

PortalRequest *PortalRequest::send(QDBusConnection bus, const QString &interface, const QString &method,
                                   QVariantList arguments, QVariantMap options, int answerTimeoutMs, QObject *parent)
{
    auto *request = new PortalRequest(std::move(bus), parent);
    request->call(interface, method, std::move(arguments), std::move(options), answerTimeoutMs);
    return request;
}

QString PortalRequest::parentWindow(const QObject *window)
{
    const auto *widget = qobject_cast<const QWidget *>(window);
    if (!widget || QGuiApplication::platformName() != QLatin1String("xcb") || !widget->windowHandle())
        return {};
    return QStringLiteral("x11:%1").arg(widget->windowHandle()->winId(), 0, 16);
}

void PortalRequest::call(const QString &interface, const QString &method, QVariantList arguments, QVariantMap options,
                         int answerTimeoutMs)
{
    if (!m_bus.isConnected()) {
        Answer answer;
        answer.callFailed = true;
        answer.error = m_bus.lastError();
        // Deferred, so that the caller has connected to finished().
        QMetaObject::invokeMethod(this, [this, answer] { finish(answer); }, Qt::QueuedConnection);
        return;
    }
    const QString token = nextHandleToken();
    options.insert(QStringLiteral("handle_token"), token);
    listenAt(expectedRequestPath(m_bus, token));
    QDBusMessage message = QDBusMessage::createMethodCall(Service, Path, interface, method);
    arguments.append(options);
    message.setArguments(arguments);
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(message, CallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *call;
        if (reply.isError()) {
            Answer answer;
            answer.callFailed = true;
            answer.error = reply.error();
            finish(answer);
            return;
        }
        // A portal older than the rule names the Request object itself.
        if (reply.value().path() != m_requestPath)
            listenAt(reply.value().path());
    });
    m_timeout.start(answerTimeoutMs);
}

void PortalRequest::listenAt(const QString &requestPath)
{
    if (!m_requestPath.isEmpty())
        m_bus.disconnect(Service, m_requestPath, RequestInterface, QStringLiteral("Response"), this,
                         SLOT(responded(uint, QVariantMap)));
    m_requestPath = requestPath;
    m_bus.connect(Service, m_requestPath, RequestInterface, QStringLiteral("Response"), this,
                  SLOT(responded(uint, QVariantMap)));
}

void PortalRequest::responded(uint response, const QVariantMap &results)
{
    Answer answer;
    answer.response = response;
    answer.results = results;
    finish(answer);
}

void PortalRequest::finish(const Answer &answer)
{
    if (m_done)
        return;
    m_done = true;
    m_timeout.stop();
    if (!m_requestPath.isEmpty())
        m_bus.disconnect(Service, m_requestPath, RequestInterface, QStringLiteral("Response"), this,
                         SLOT(responded(uint, QVariantMap)));
    emit finished(answer);
    deleteLater();
}
