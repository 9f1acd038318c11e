#include "ui/WindowPlatform.h"

#include <QtGlobal>

#include <cstring>

namespace WindowPlatform {
namespace {

bool isWaylandPlatform(const QByteArray &platform)
{
    return platform.startsWith("wayland");
}

const QString MayNotStayOnTop = QStringLiteral(
    "vellmar-quiz: warning: on Wayland the window may not stay on top of other windows");

// Qt's own option, which wins over the environment.
QByteArray platformOption(int argc, char *argv[])
{
    for (int index = 1; index + 1 < argc; ++index)
        if (std::strcmp(argv[index], "-platform") == 0)
            return QByteArray(argv[index + 1]);
    return {};
}

} // namespace

Session currentSession(int argc, char *argv[])
{
    Session session;
    session.requested = platformOption(argc, argv);
    if (session.requested.isEmpty())
        session.requested = qgetenv("QT_QPA_PLATFORM");
    session.wayland = qgetenv("XDG_SESSION_TYPE") == "wayland" || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    // XWayland serves X11 clients of a Wayland session through DISPLAY.
    session.xwayland = !qEnvironmentVariableIsEmpty("DISPLAY");
    return session;
}

Choice choose(const Session &session)
{
    if (!session.requested.isEmpty())
        return {{}, isWaylandPlatform(session.requested) ? MayNotStayOnTop : QString()};
    if (!session.wayland)
        return {};
    if (!session.xwayland)
        return {{}, MayNotStayOnTop};
    return {QByteArrayLiteral("xcb"),
            QStringLiteral("vellmar-quiz: running through XWayland so that the window stays on top; "
                           "set QT_QPA_PLATFORM=wayland to run on Wayland itself")};
}

} // namespace WindowPlatform
