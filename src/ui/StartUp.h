#pragma once

#include <QString>

class Form1;
struct xcb_connection_t;

// The program's start: what it needs before Qt starts, and the window's
// start-up sequence once the window exists.
namespace StartUp {

// A display to open the window on: X11, Wayland, or a Qt platform chosen explicitly.
bool displayAvailable();

// Opens the X display that Qt is about to open, to say why it cannot be used
// (its server cannot be reached, or the name is not a display's); Qt itself
// would abort on such a display. The connection is held until release(),
// once Qt has its own: an X server that resets when its last client leaves
// (as Xvfb does) would otherwise refuse Qt's connection while it resets.
class XDisplayProbe
{
public:
    XDisplayProbe();
    ~XDisplayProbe();
    XDisplayProbe(const XDisplayProbe &) = delete;
    XDisplayProbe &operator=(const XDisplayProbe &) = delete;

    // Empty when the display can be used, or when the window opens elsewhere.
    QString problem() const { return m_problem; }
    void release();

private:
    xcb_connection_t *m_connection = nullptr;
    QString m_problem;
};

// The browser engine's sandbox cannot run as root, so only then is it turned
// off, with a warning on stderr. Must run before the application object exists.
void allowBrowserWithoutSandboxWhenRoot();

// Starts the browser pane's navigation, shows the window centred, makes it
// topmost, puts the query box first in the focus order, writes the start tip,
// lets pending events run once, and loads the bank at `bankPath`. When the
// bank cannot be loaded it returns false with `error` naming the path and the
// cause; the window is shown by then, so a message can stand over it.
bool run(Form1 &form, const QString &bankPath, QString &error);

// The text of the message that ends the program when start-up fails.
QString failureMessage(const QString &error);

} // namespace StartUp
