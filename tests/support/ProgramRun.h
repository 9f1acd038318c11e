#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// One run of a program to its end: exit status and both outputs.
struct ProgramRun
{
    int exitCode = -1; // -1 when it crashed or did not finish
    QString out;
    QString err;
    QByteArray outBytes; // standard output as it came, for binary outputs

    bool succeeded() const { return exitCode == 0; }
    QString all() const { return out + err; }
};

// Runs `program` and waits for it, killing it after `timeoutMs`. `inChild`
// runs in the child before the program starts (Unix only).
ProgramRun runProgram(const QString &program, const QStringList &arguments, int timeoutMs = 120000,
                      const std::function<void()> &inChild = {});
