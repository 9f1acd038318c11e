#pragma once

#include <QLocale>

class QCoreApplication;

// Qt's own texts (context menus, dialog buttons, the browser pane's menu) in
// Chinese like the rest of the window: Traditional (Qt translates it for
// Taiwan) where the system's locale asks for it, Simplified everywhere else.
namespace QtTranslations {

// The Chinese locale whose translations serve a system with `system`.
QLocale chineseFor(const QLocale &system);

// Installs Qt's translations for chineseFor(system) into the application;
// false when they are not installed (Debian: qt6-translations-l10n).
bool install(QCoreApplication &app, const QLocale &system = QLocale::system());

} // namespace QtTranslations
