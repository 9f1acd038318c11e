#pragma once

#include <QJsonObject>
#include <QString>

#include <cstdio>

// How the tool's commands speak: reports on standard output, messages on
// standard error, each message led by the tool's name.
namespace BankCommands {

inline constexpr int Ok = 0;
inline constexpr int Failed = 1;
inline constexpr int Usage = 2;

inline const QString ToolName = QStringLiteral("vellmar-bank");
// The file name that stands for standard output.
inline const QString StandardStream = QStringLiteral("-");

void write(std::FILE *stream, const QString &text);
void printLine(const QString &text);
void printMessage(const QString &message);
void printJson(const QJsonObject &object);
// Prints the message and returns Failed.
int fail(const QString &message);

// Flushes standard output: a report that could not be written whole is a
// failure, named on standard error, whatever the command made of it.
int finishStandardOutput(int status);

// "1 error", "2 errors".
QString counted(qsizetype count, const QString &singular);

} // namespace BankCommands
