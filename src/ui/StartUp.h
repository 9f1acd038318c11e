#pragma once

#include <QString>

class BrowserEngine;
class Form1;

// The program's start: what it needs before Qt starts, and the window's
// start-up sequence once the window exists.
namespace StartUp {

// A display to open the window on: X11, Wayland, or a Qt platform chosen
// explicitly.
bool displayAvailable();

// The browser engine's sandbox cannot run as root, so only then is it turned
// off, with a warning on stderr. Must run before the application object exists.
void allowBrowserWithoutSandboxWhenRoot();

// The browser engine, ready to start once the application object exists:
// its sandbox off where it cannot run (above), its footprint settings made and its plugin loaded. Must run before the
// application object exists. Null when the plugin cannot be loaded (see
// BrowserPlugin); the footprint settings are made all the same.
BrowserEngine *prepareBrowser();

// Starts the browser pane's navigation, shows the window centred, makes it
// topmost, puts the query box first in the focus order, writes the start tip,
// lets pending events run once, and loads the bank at `bankPath` (showing
// that it loads when it is large, see BankLoadingSign). When the
// bank cannot be loaded it returns false with `error` naming the path and the
// cause; the window is shown by then, so a message can stand over it.
bool run(Form1 &form, const QString &bankPath, QString &error);

// The text of the message that ends the program when start-up fails.
QString failureMessage(const QString &error);

} // namespace StartUp
