#pragma once

#include <QByteArray>
#include <QString>

// Which of Qt's platforms the window runs on. Wayland lets no client keep its
// window above the others, so in a Wayland session with XWayland at hand the
// window goes through XWayland unless the user chose a platform.
namespace WindowPlatform {

struct Session
{
    // The platform the user chose: Qt's option -platform, else
    // QT_QPA_PLATFORM; empty when neither is given.
    QByteArray requested;
    bool wayland = false;
    bool xwayland = false;
};

struct Choice
{
    // The platform to ask Qt for; empty leaves the choice to Qt.
    QByteArray platform;
    // One line for stderr, empty when there is nothing to say.
    QString note;
};

// The session of a program started with these arguments.
Session currentSession(int argc, char *argv[]);
Choice choose(const Session &session);

} // namespace WindowPlatform
