#include "CommandOutput.h"

#include "platform/FileSystem.h"

#include <QJsonDocument>

#include <cerrno>

namespace BankCommands {
namespace {

// Why standard output first failed; 0 while it has not.
int standardOutputError = 0;

void noteStandardOutputError()
{
    if (standardOutputError == 0)
        standardOutputError = errno != 0 ? errno : EIO;
}

} // namespace

void write(std::FILE *stream, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    errno = 0;
    if (std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stream) != size_t(utf8.size()) && stream == stdout)
        noteStandardOutputError();
}

int finishStandardOutput(int status)
{
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        noteStandardOutputError();
    if (standardOutputError == 0)
        return status;
    printMessage(QStringLiteral("standard output: cannot write: %1").arg(FileSystem::errorText(standardOutputError)));
    return Failed;
}

QString counted(qsizetype count, const QString &singular)
{
    return QStringLiteral("%1 %2%3").arg(count).arg(singular, count == 1 ? QString() : QStringLiteral("s"));
}

void printLine(const QString &text)
{
    write(stdout, text + QLatin1Char('\n'));
}

void printMessage(const QString &message)
{
    write(stderr, ToolName + QStringLiteral(": ") + message + QLatin1Char('\n'));
}

void printJson(const QJsonObject &object)
{
    write(stdout, QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented)));
}

int fail(const QString &message)
{
    printMessage(message);
    return Failed;
}

} // namespace BankCommands
