#include "screen/ScreenCapture.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

namespace ScreenCapture {

bool available()
{
    // Under XWayland the root window holds only the X clients' windows.
    return QGuiApplication::platformName() == QLatin1String("xcb") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

QImage grab(QScreen &screen, const QRect &area)
{
    if (!available())
        return {};
    const QRect wanted = area.isEmpty() ? QRect(QPoint(0, 0), screen.size()) : area;
    return screen.grabWindow(0, wanted.x(), wanted.y(), wanted.width(), wanted.height()).toImage();
}

} // namespace ScreenCapture
