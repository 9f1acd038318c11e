#pragma once

#include <QObject>
#include <QString>

// A plugin of the program: a shared object in a folder beside the program
// file, loaded only once the program needs what it holds, so that a player
// who never uses it pays nothing for its libraries.
namespace ProgramPlugin {

// `relativePath` from the folder that really holds the program file, links
// resolved, as the programs and their plugins are installed. The application
// object may not exist yet, so Qt cannot be asked for the program's path; the
// system's link to the running program is what Qt reads too.
QString besideProgram(const char *relativePath);

// How one plugin's failures are told: a line for the window for each way a
// load fails, each with %1 for the file; and for the one line on stderr,
// what the plugin holds and what the program does without it.
struct Words
{
    QString missing;
    QString failed;
    QString foreign;
    const char *holds;
    const char *without;
};

template <class Interface>
struct Loaded
{
    Interface *engine = nullptr;
    QString problem; // the window's line where engine is null
};

// The loaded plugin's instance, or null where `file` is missing or the
// loader refuses it; then stderr has had its line and `problem` the window's.
QObject *instanceFrom(const QString &file, const Words &words, QString *problem);

// Says on stderr that `file` could not be loaded for `cause`; the window's
// line for it.
QString refuse(const QString &line, const QString &file, const Words &words, const QString &cause);

template <class Interface>
Loaded<Interface> load(const QString &file, const Words &words)
{
    QString problem;
    QObject *instance = instanceFrom(file, words, &problem);
    if (!instance)
        return {nullptr, problem};
    if (auto *engine = qobject_cast<Interface *>(instance))
        return {engine, {}};
    return {nullptr, refuse(words.foreign, file, words, QStringLiteral("it is not %1's plugin").arg(QLatin1String(words.holds)))};
}

} // namespace ProgramPlugin
