#pragma once

#include <QProcess>
#include <QString>

#include <functional>

// What the tests that start their own desktops do with the programs they
// start: display servers, window managers, buses and the probe window.

// Polls `ready` until it holds or `timeoutMs` have passed.
bool waitFor(const std::function<bool()> &ready, int timeoutMs);

// True when `program` is on the path or among the system's helper programs
// (/usr/libexec); otherwise `problem` names it and what installs it.
bool installed(const QString &program, QString *problem);

// Asks `process` to end, and ends it where it does not.
void stop(QProcess &process);

// The probe's next line that is `word` or starts with it and a blank, without
// them; the lines before it are logged. Names the word when no such line
// comes, so that a comparison says what was missing.
QString expectProbeLine(QProcess &probe, const QString &word, int timeoutMs);
