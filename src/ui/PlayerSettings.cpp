#include "ui/PlayerSettings.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>

namespace PlayerSettings {

void nameApplication()
{
    QCoreApplication::setOrganizationName(QString());
    QCoreApplication::setApplicationName(QLatin1String(ApplicationName));
}

QString settingsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/settings.ini");
}

QString dataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

bool browserTurnedOff()
{
    const QSettings settings(settingsFile(), QSettings::IniFormat);
    return !settings.value(QStringLiteral("browser"), true).toBool();
}

} // namespace PlayerSettings
