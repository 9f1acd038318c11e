#pragma once

#include <QImage>
#include <QRect>

class QScreen;

// The pixels the screen shows, as X11 gives them to any client. Under
// Wayland a program may not read the screen this way (see PortalScreenshot).
namespace ScreenCapture {

// True where the screen's pixels can be read directly: an X11 session.
bool available();

// A Wayland session, whichever platform Qt runs on: XWayland's screen holds
// only the X clients' windows, so there the screen is asked of the desktop
// portal (PortalScreenshot) instead.
bool waylandSession();

// The area of the screen, in the screen's coordinates; the whole screen for
// an empty area. Null when it cannot be read.
QImage grab(QScreen &screen, const QRect &area = {});

} // namespace ScreenCapture
