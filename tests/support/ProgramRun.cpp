#include "ProgramRun.h"

#include <QProcess>

ProgramRun runProgram(const QString &program, const QStringList &arguments, int timeoutMs,
                      const std::function<void()> &inChild)
{
    QProcess process;
#if defined(Q_OS_UNIX)
    if (inChild)
        process.setChildProcessModifier(inChild);
#else
    Q_ASSERT(!inChild);
#endif
    process.start(program, arguments);
    ProgramRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.err = QStringLiteral("%1 did not finish: %2").arg(program, process.errorString());
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.outBytes = process.readAllStandardOutput();
    run.out = QString::fromUtf8(run.outBytes);
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}
