#pragma once

#include <QString>

class BrowserEngine;

// The browser pane's plugin, which holds the browser engine: the window
// program links none of the engine, and loads it only when the browser is
// turned on. One plugin serves the whole process.
namespace BrowserPlugin {

// Where the plugin lies, from the folder that holds the program file. It has
// a folder of its own there: a shared object straight in a folder under
// /usr/lib would have the package run ldconfig for it, which it needs not.
inline constexpr char RelativePath[] = "plugins/vellmar-browser-pane.so";

// The plugin beside the program file, links resolved, as the window and its
// bank are installed.
QString defaultFile();

// The engine, loaded from defaultFile() at the first call, which must come
// before the application object exists, as for a linked engine.
// Null when the plugin cannot be loaded: then stderr has had one line saying
// why, and problem() holds the tab's words for it. Later calls give the
// first call's outcome.
BrowserEngine *engine();

// The browser tab's line when the engine could not be loaded, naming the file.
QString problem();

} // namespace BrowserPlugin
