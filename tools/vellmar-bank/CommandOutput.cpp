#include "CommandOutput.h"

#include <QJsonDocument>

namespace BankCommands {

void write(std::FILE *stream, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stream);
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
