#include "ui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace QtTranslations {
namespace {

// Qt's catalogue "qt" gathers the base modules; the browser engine keeps its own.
constexpr const char *Catalogues[] = {"qt", "qtwebengine"};

} // namespace

QLocale chineseFor(const QLocale &system)
{
    if (system.language() == QLocale::Chinese && system.script() == QLocale::TraditionalChineseScript)
        return QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan);
    return QLocale(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China);
}

bool install(QCoreApplication &app, const QLocale &system)
{
    const QLocale chinese = chineseFor(system);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    bool loadedAll = true;
    for (const char *catalogue : Catalogues) {
        auto *translator = new QTranslator(&app);
        if (translator->load(chinese, QString::fromLatin1(catalogue), QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(translator);
        } else {
            delete translator;
            loadedAll = false;
        }
    }
    return loadedAll;
}

} // namespace QtTranslations
