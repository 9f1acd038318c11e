#include "ui/XDisplayProbe.h"

#include <xcb/xcb.h>

namespace {

// Qt opens X when it is asked for xcb, or by default unless a Wayland session is there.
bool windowOpensOnX(const QByteArray &askedPlatform)
{
    const QByteArray platform = askedPlatform.isEmpty() ? qgetenv("QT_QPA_PLATFORM") : askedPlatform;
    if (!platform.isEmpty())
        return platform.startsWith("xcb");
    const bool waylandSession = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && qgetenv("XDG_SESSION_TYPE") == "wayland";
    return !qEnvironmentVariableIsEmpty("DISPLAY") && !waylandSession;
}

QString xConnectionProblem(int error)
{
    switch (error) {
    case XCB_CONN_CLOSED_PARSE_ERR:
        return QStringLiteral("this is not the name of a display");
    case XCB_CONN_CLOSED_INVALID_SCREEN:
        return QStringLiteral("the display has no such screen");
    case XCB_CONN_ERROR:
        return QStringLiteral("its X server cannot be reached or refused the connection");
    default:
        return QStringLiteral("the connection to its X server failed (xcb error %1)").arg(error);
    }
}

} // namespace

XDisplayProbe::XDisplayProbe(const QByteArray &platform)
{
    if (!windowOpensOnX(platform))
        return;
    const QByteArray display = qgetenv("DISPLAY");
    m_connection = xcb_connect(display.isEmpty() ? nullptr : display.constData(), nullptr);
    if (const int error = xcb_connection_has_error(m_connection)) {
        m_problem = QStringLiteral("cannot open the display \"%1\": %2").arg(QString::fromLocal8Bit(display), xConnectionProblem(error));
        release();
    }
}

XDisplayProbe::~XDisplayProbe()
{
    release();
}

void XDisplayProbe::release()
{
    if (m_connection)
        xcb_disconnect(m_connection);
    m_connection = nullptr;
}
