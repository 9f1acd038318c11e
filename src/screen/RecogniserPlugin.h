#pragma once

#include <QString>

class RecogniserEngine;

// The text recogniser's plugin, which holds the OCR engine (Tesseract,
// Leptonica and the libraries they bring): the window links none of it, and
// loads it at the first reading of the screen, so that a player who never
// reads the screen pays nothing for it. One plugin serves the whole process.
namespace RecogniserPlugin {

// Where the plugin lies, from the folder that holds the program file, beside
// the browser pane's.
inline constexpr char RelativePath[] = "plugins/vellmar-text-recogniser.so";

// The plugin beside the program file, links resolved.
QString defaultFile();

// The engine, loaded from defaultFile() at the first call, from any thread.
// Null when the plugin cannot be loaded: then stderr has had one line saying
// why, and problem() holds the tip line's words for it. Later calls give the
// first call's outcome.
RecogniserEngine *engine();

// The tip line when the engine could not be loaded, naming the file.
QString problem();

} // namespace RecogniserPlugin
