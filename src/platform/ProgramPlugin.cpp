#include "platform/ProgramPlugin.h"

#include <QFileInfo>
#include <QPluginLoader>

#include <cstdio>

namespace ProgramPlugin {

QString besideProgram(const char *relativePath)
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() + QLatin1Char('/') + QLatin1String(relativePath);
}

QString refuse(const QString &line, const QString &file, const Words &words, const QString &cause)
{
    std::fprintf(stderr, "vellmar-quiz: %s cannot be loaded from %s: %s; %s\n", words.holds, qUtf8Printable(file),
                 qUtf8Printable(cause), words.without);
    return line.arg(file);
}

QObject *instanceFrom(const QString &file, const Words &words, QString *problem)
{
    if (!QFileInfo(file).isFile()) {
        *problem = refuse(words.missing, file, words, QStringLiteral("no such file"));
        return nullptr;
    }
    QPluginLoader loader(file);
    QObject *instance = loader.instance();
    if (!instance)
        *problem = refuse(words.failed, file, words, loader.errorString());
    return instance;
}

} // namespace ProgramPlugin
