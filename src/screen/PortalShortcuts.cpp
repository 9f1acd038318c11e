#include "screen/PortalShortcuts.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

// One shortcut as the portal passes it: its id and its properties, (sa{sv}).
struct PortalShortcut
{
    QString id;
    QVariantMap properties;
};
Q_DECLARE_METATYPE(PortalShortcut)

QDBusArgument &operator<<(QDBusArgument &argument, const PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

namespace {

const QString ShortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
// Binding waits for the player to confirm the shortcut in the desktop's dialog.
constexpr int AnswerTimeoutMs = 120000;

QString objectPathOf(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<QDBusObjectPath>() ? value.value<QDBusObjectPath>().path()
                                                                        : value.toString();
}

QString unavailable(const QString &why)
{
    return QStringLiteral("全局热键在这里不可用：%1（只在 X11 程序的窗口有焦点时有效）").arg(why);
}

QString wordsForFailedCall(const QDBusError &error)
{
    switch (error.type()) {
    case QDBusError::ServiceUnknown:
    case QDBusError::NoServer:
    case QDBusError::Disconnected:
        return unavailable(QStringLiteral("没有桌面门户"));
    case QDBusError::UnknownInterface:
    case QDBusError::UnknownMethod:
    case QDBusError::UnknownObject:
    case QDBusError::UnknownProperty:
    case QDBusError::InvalidArgs:
        return unavailable(QStringLiteral("桌面门户没有全局快捷键接口"));
    default:
        return unavailable(QStringLiteral("桌面门户出错（%1）").arg(error.message()));
    }
}

QString wordsForAnswer(const PortalRequest::Answer &answer)
{
    if (answer.callFailed)
        return wordsForFailedCall(answer.error);
    if (answer.timedOut)
        return unavailable(QStringLiteral("桌面门户没有回应"));
    if (answer.response == 1)
        return unavailable(QStringLiteral("快捷键的设定被取消了"));
    return unavailable(QStringLiteral("桌面门户没有设定快捷键"));
}

} // namespace

const QString PortalShortcuts::ShortcutId = QStringLiteral("read-screen");

PortalShortcuts::PortalShortcuts(QDBusConnection bus, QObject *parent) : QObject(parent), m_bus(std::move(bus))
{
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
    m_bus.connect(PortalRequest::Service, PortalRequest::Path, ShortcutsInterface, QStringLiteral("Activated"), this,
                  SLOT(portalActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
}

QString PortalShortcuts::portalTrigger(const QKeySequence &key)
{
    if (key.isEmpty())
        return {};
    const QKeyCombination combination = key[0];
    const Qt::Key code = combination.key();
    QString name;
    if (code >= Qt::Key_A && code <= Qt::Key_Z)
        name = QChar(u'a' + (code - Qt::Key_A));
    else if (code >= Qt::Key_0 && code <= Qt::Key_9)
        name = QChar(u'0' + (code - Qt::Key_0));
    else if (code >= Qt::Key_F1 && code <= Qt::Key_F35)
        name = QStringLiteral("F%1").arg(code - Qt::Key_F1 + 1);
    else
        return {};
    QStringList parts;
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    if (modifiers & Qt::ControlModifier)
        parts << QStringLiteral("CTRL");
    if (modifiers & Qt::AltModifier)
        parts << QStringLiteral("ALT");
    if (modifiers & Qt::ShiftModifier)
        parts << QStringLiteral("SHIFT");
    if (modifiers & Qt::MetaModifier)
        parts << QStringLiteral("LOGO");
    parts << name;
    return parts.join(u'+');
}

void PortalShortcuts::bind(const QKeySequence &key, const QString &parentWindow)
{
    closeSession();
    m_key = key;
    m_parentWindow = parentWindow;
    m_bound = false;
    m_problem.clear();
    if (!m_bus.isConnected())
        return fail(wordsForFailedCall(m_bus.lastError()));
    // The interface's version tells whether the portal has it at all.
    QDBusMessage get = QDBusMessage::createMethodCall(PortalRequest::Service, PortalRequest::Path,
                                                      QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get.setArguments({ShortcutsInterface, QStringLiteral("version")});
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(get), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        versionKnown(QDBusPendingReply<QDBusVariant>(*call).error());
    });
}

void PortalShortcuts::versionKnown(const QDBusError &error)
{
    if (error.isValid())
        return fail(wordsForFailedCall(error));
    static quint64 sessions = 0;
    const QVariantMap options{{QStringLiteral("session_handle_token"), QStringLiteral("vellmar_reading_%1").arg(++sessions)}};
    PortalRequest *request = PortalRequest::send(m_bus, ShortcutsInterface, QStringLiteral("CreateSession"), {}, options,
                                                 AnswerTimeoutMs, this);
    connect(request, &PortalRequest::finished, this, &PortalShortcuts::sessionCreated);
}

void PortalShortcuts::sessionCreated(const PortalRequest::Answer &answer)
{
    const QString session = objectPathOf(answer.results.value(QStringLiteral("session_handle")));
    if (answer.callFailed || answer.timedOut || answer.response != 0 || session.isEmpty())
        return fail(wordsForAnswer(answer));
    m_session = QDBusObjectPath(session);
    QVariantMap properties{{QStringLiteral("description"), QStringLiteral("读出屏幕上划定区域里的题目")}};
    if (const QString trigger = portalTrigger(m_key); !trigger.isEmpty())
        properties.insert(QStringLiteral("preferred_trigger"), trigger);
    const QList<PortalShortcut> shortcuts{{ShortcutId, properties}};
    PortalRequest *request = PortalRequest::send(
        m_bus, ShortcutsInterface, QStringLiteral("BindShortcuts"),
        {QVariant::fromValue(m_session), QVariant::fromValue(shortcuts), m_parentWindow}, {}, AnswerTimeoutMs, this);
    connect(request, &PortalRequest::finished, this, &PortalShortcuts::shortcutsBound);
}

void PortalShortcuts::shortcutsBound(const PortalRequest::Answer &answer)
{
    if (answer.callFailed || answer.timedOut || answer.response != 0)
        return fail(wordsForAnswer(answer));
    const auto bound = qdbus_cast<QList<PortalShortcut>>(answer.results.value(QStringLiteral("shortcuts")));
    for (const PortalShortcut &shortcut : bound)
        if (shortcut.id == ShortcutId)
            m_triggerDescription = shortcut.properties.value(QStringLiteral("trigger_description")).toString();
    m_bound = true;
    emit changed();
}

// A new key is bound in a session of its own; the one before ends.
void PortalShortcuts::closeSession()
{
    if (m_session.path().isEmpty())
        return;
    m_bus.call(QDBusMessage::createMethodCall(PortalRequest::Service, m_session.path(),
                                              QStringLiteral("org.freedesktop.portal.Session"), QStringLiteral("Close")),
               QDBus::NoBlock);
    m_session = QDBusObjectPath();
}

void PortalShortcuts::fail(const QString &problem)
{
    m_bound = false;
    m_problem = problem;
    emit changed();
}

void PortalShortcuts::portalActivated(const QDBusObjectPath &session, const QString &shortcutId, qulonglong, const QVariantMap &)
{
    if (m_bound && session == m_session && shortcutId == ShortcutId)
        emit activated();
}
