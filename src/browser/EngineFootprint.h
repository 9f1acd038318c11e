#pragma once

#include <QByteArray>

// What the browser engine costs the machine. The pane shows one small page
// beside a game that wants the machine for itself, so it is drawn in
// software, without a graphics driver loaded into the program, and the
// engine starts no process that it can do without. Settings the user has
// made in the environment are kept.
namespace EngineFootprint {

// The engine's switches for QTWEBENGINE_CHROMIUM_FLAGS: the user's own
// switches, unchanged, then ours where the user has not set them. Without
// a sandbox the engine needs no zygote to fork its processes from.
QByteArray engineFlags(const QByteArray &userFlags, bool sandboxOff);

// Sets what Qt and the engine read when they start, so it must run before
// the application object exists. It draws without OpenGL, as below, and
// has the engine start its processes from the program's own page process,
// vellmar-renderer in the plugins folder, where that is there. None of
// it needs the engine itself: the plugin's part is EngineStart's, and the
// environment is given back once the engine has started.
void applyBeforeStart();

// For a window without the engine: it too draws without OpenGL, which it
// never needs, so no graphics driver is loaded. Runs before the application
// object exists.
void drawWithoutOpenGl();

// Gives the environment back as the user had it, so that programs started
// from the window (the user's web browser) do not inherit our settings.
void giveEnvironmentBack();

} // namespace EngineFootprint
