#pragma once

#include "screen/PortalRequest.h"

#include <QDateTime>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QThreadPool>

class QScreen;

// The whole desktop as the desktop portal's Screenshot gives it, the one way
// a Wayland session lets a program see what other programs show. The
// portal writes a PNG and names it; the picture is read (and the file, where
// it is the portal's scratch, removed) off the window's thread.
class PortalScreenshot : public QObject
{
    Q_OBJECT

public:
    // A first shot may wait for the player's consent in the portal's dialog.
    static constexpr int AnswerTimeoutMs = 60000;

    explicit PortalScreenshot(QDBusConnection bus, QObject *parent = nullptr);
    ~PortalScreenshot() override;

    // Asks for a shot unless one is on its way; taken() or failed() follows.
    // `parentWindow` is the portal's name of the window asking.
    void take(const QString &parentWindow);
    bool isTaking() const { return m_taking; }

    // The part of `desktop` that `screen` shows, its `area` in the screen's
    // own coordinates (the whole screen when empty), in device pixels. The
    // desktop spans Qt's virtual desktop, scaled as the portal chose.
    static QImage screenPart(const QImage &desktop, const QScreen &screen, const QRect &area = {});

    // Whether the file the portal named is scratch it made for this shot,
    // which nobody else will look for: a file of ours, directly in the
    // temporary folder or the runtime folder, written since `asked`.
    static bool isPortalScratch(const QString &path, const QDateTime &asked);

signals:
    // `keptFile` names the shot's file where it was not the portal's scratch
    // and stays (a desktop that keeps every shot among the pictures); empty
    // where it was removed.
    void taken(const QImage &desktop, const QString &keptFile);
    void failed(const QString &message);

private:
    void answered(const PortalRequest::Answer &answer);
    void readPicture(const QString &path);
    void pictureRead(const QImage &desktop, const QString &path, bool removed);
    void fail(const QString &message);

    QDBusConnection m_bus;
    QThreadPool m_reading;
    QDateTime m_asked;
    bool m_taking = false;
};
