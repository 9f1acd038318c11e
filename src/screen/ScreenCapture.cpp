#include "screen/ScreenCapture.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

namespace ScreenCapture {

bool available()
{
    return QGuiApplication::platformName() == QLatin1String("xcb") && !waylandSession();
}

bool waylandSession()
{
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland";
}

QImage grab(QScreen &screen, const QRect &area)
{
    if (!available())
        return {};
    const QRect wanted = area.isEmpty() ? QRect(QPoint(0, 0), screen.size()) : area;
    return screen.grabWindow(0, wanted.x(), wanted.y(), wanted.width(), wanted.height()).toImage();
}

} // namespace ScreenCapture
