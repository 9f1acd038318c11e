#pragma once

#include "screen/PortalRequest.h"

#include <QDBusObjectPath>
#include <QKeySequence>
#include <QObject>

// The hot key in a Wayland session, where no program may grab keys: the
// desktop portal's GlobalShortcuts, where the portal has it, binds one
// shortcut for the program, its trigger chosen by the desktop (the player's
// key is only a wish) and confirmed by the player in the desktop's dialog.
class PortalShortcuts : public QObject
{
    Q_OBJECT

public:
    static const QString ShortcutId;

    explicit PortalShortcuts(QDBusConnection bus, QObject *parent = nullptr);

    // Looks whether the portal has GlobalShortcuts, opens a session and binds
    // the shortcut with `key` as its preferred trigger; changed() follows
    // each step that the player might be told of.
    void bind(const QKeySequence &key, const QString &parentWindow);

    bool isBound() const { return m_bound; }
    // The trigger as the desktop describes it, once bound.
    QString triggerDescription() const { return m_triggerDescription; }
    // One line on why there is no shortcut; empty while asking or bound.
    QString problem() const { return m_problem; }

    // `key` in the portal's shortcut syntax: "CTRL+ALT+d", "SHIFT+F9";
    // empty for a key it cannot name.
    static QString portalTrigger(const QKeySequence &key);

signals:
    void activated();
    void changed();

private:
    void versionKnown(const QDBusError &error);
    void sessionCreated(const PortalRequest::Answer &answer);
    void shortcutsBound(const PortalRequest::Answer &answer);
    void closeSession();
    void fail(const QString &problem);
    Q_SLOT void portalActivated(const QDBusObjectPath &session, const QString &shortcutId, qulonglong timestamp,
                                const QVariantMap &options);

    QDBusConnection m_bus;
    QKeySequence m_key;
    QString m_parentWindow;
    QDBusObjectPath m_session;
    QString m_triggerDescription;
    QString m_problem;
    bool m_bound = false;
};
