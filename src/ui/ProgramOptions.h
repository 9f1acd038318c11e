#pragma once

#include <QString>

#include <optional>

// The window's command line. Its own options are long ones (--bank FILE or
// --bank=FILE); Qt's own single-dash options (-platform NAME, -style NAME,
// -reverse, ...) pass through to Qt. Anything else is refused.
struct ProgramOptions
{
    QString bank;        // --bank FILE: this bank instead of the player's or the program's
    QString installBank; // --install-bank FILE: install it as the player's bank, then use it
    bool noBrowser = false; // --no-browser: no browser engine at all

    // Set when the command line is answered without a window: --help and
    // --version (0, printed on stdout), or a refusal (2, one line on stderr).
    std::optional<int> exitStatus;

    static ProgramOptions parse(int argc, char *argv[]);
};
