#include "DesktopProcesses.h"

#include <QDeadlineTimer>
#include <QStandardPaths>
#include <QThread>

bool waitFor(const std::function<bool()> &ready, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!ready()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    return true;
}

bool installed(const QString &program, QString *problem)
{
    if (!QStandardPaths::findExecutable(program).isEmpty()
        || !QStandardPaths::findExecutable(program, {QStringLiteral("/usr/libexec")}).isEmpty())
        return true;
    *problem = QStringLiteral("%1 is not installed (scripts/install-deps.sh test)").arg(program);
    return false;
}

void stop(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished();
    }
}

QString expectProbeLine(QProcess &probe, const QString &word, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (!probe.canReadLine() && !probe.waitForReadyRead(int(deadline.remainingTime())))
            break;
        while (probe.canReadLine()) {
            const QString line = QString::fromUtf8(probe.readLine()).chopped(1);
            if (line == word || line.startsWith(word + u' '))
                return line.mid(word.size() + 1);
            qInfo("probe: %s", qUtf8Printable(line));
        }
    }
    return QStringLiteral("(no line \"%1\")").arg(word);
}
