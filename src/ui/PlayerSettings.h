#pragma once

#include <QString>

// What a player keeps for the window in folders of their own, writable
// without root: the settings file and the player's own bank. The folders
// follow QStandardPaths for the application name "vellmar-quiz"
// (~/.config/vellmar-quiz and ~/.local/share/vellmar-quiz on Linux).
namespace PlayerSettings {

inline constexpr char ApplicationName[] = "vellmar-quiz";

// Names the application, so the folders are the same whatever the program
// file is called; runs before anything asks for them.
void nameApplication();

// settings.ini in the player's configuration folder.
QString settingsFile();
// The player's data folder, where their own bank is installed.
QString dataFolder();

// browser=false in the settings file: the window starts without the browser engine.
bool browserTurnedOff();

} // namespace PlayerSettings
