#pragma once

#include <QCommandLineParser>
#include <QStringList>

// The commands themselves, one a file: each gets the parsed command line and
// exactly the positional arguments the table names, and returns the exit status.
namespace BankCommands {

int build(const QCommandLineParser &parser, const QStringList &arguments);
int initials(const QCommandLineParser &parser, const QStringList &arguments);
int cipher(const QCommandLineParser &parser, const QStringList &arguments);
int exportSource(const QCommandLineParser &parser, const QStringList &arguments);
int search(const QCommandLineParser &parser, const QStringList &arguments);
int check(const QCommandLineParser &parser, const QStringList &arguments);
int lint(const QCommandLineParser &parser, const QStringList &arguments);
int diff(const QCommandLineParser &parser, const QStringList &arguments);
int recognise(const QCommandLineParser &parser, const QStringList &arguments);

} // namespace BankCommands
