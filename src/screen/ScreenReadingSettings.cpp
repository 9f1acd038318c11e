#include "screen/ScreenReadingSettings.h"

#include <QScreen>
#include <QSettings>

namespace {

const QString HotKeyKey = QStringLiteral("screenReading/hotKey");

// A screen is known by its name and size, so that another monitor on the
// same connector gets an area of its own.
QString areaKey(const QScreen &screen)
{
    const QSize size = screen.size();
    return QStringLiteral("screenReading/area_%1_%2x%3").arg(screen.name().isEmpty() ? QStringLiteral("screen") : screen.name()).arg(size.width()).arg(size.height());
}

} // namespace

QKeySequence ScreenReadingSettings::defaultHotKey()
{
    return QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_D);
}

ScreenReadingSettings::ScreenReadingSettings(QString path) : m_path(std::move(path)) {}

QRect ScreenReadingSettings::area(const QScreen &screen) const
{
    const QSettings settings(m_path, QSettings::IniFormat);
    return settings.value(areaKey(screen)).toRect().intersected(QRect(QPoint(0, 0), screen.size()));
}

void ScreenReadingSettings::setArea(const QScreen &screen, const QRect &area)
{
    QSettings settings(m_path, QSettings::IniFormat);
    settings.setValue(areaKey(screen), area);
}

QKeySequence ScreenReadingSettings::hotKey() const
{
    const QSettings settings(m_path, QSettings::IniFormat);
    const QKeySequence key(settings.value(HotKeyKey).toString(), QKeySequence::PortableText);
    return key.isEmpty() ? defaultHotKey() : key;
}

void ScreenReadingSettings::setHotKey(const QKeySequence &key)
{
    QSettings settings(m_path, QSettings::IniFormat);
    settings.setValue(HotKeyKey, key.toString(QKeySequence::PortableText));
}
