#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// One run of a command-line tool to its end: exit status and both outputs.
struct ToolRun
{
    int exitCode = -1;
    QString out;
    QString err;

    bool succeeded() const { return exitCode == 0; }
    QString all() const { return out + err; }
};

inline ToolRun runTool(const QString &program, const QStringList &arguments, int timeoutMs = 120000)
{
    QProcess process;
    process.start(program, arguments);
    ToolRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.err = QStringLiteral("%1 did not finish: %2").arg(program, process.errorString());
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}
