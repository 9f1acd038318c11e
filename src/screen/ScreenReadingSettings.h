#pragma once

#include <QKeySequence>
#include <QRect>
#include <QString>

class QScreen;

// What the player chose for reading the screen, kept in the player's
// settings file under "screenReading": the marked area of each screen, and
// the hot key.
class ScreenReadingSettings
{
public:
    // Ctrl+Alt+D, for 答.
    static QKeySequence defaultHotKey();
    explicit ScreenReadingSettings(QString path);

    // The area marked on the screen, in its own coordinates; empty when none.
    QRect area(const QScreen &screen) const;
    void setArea(const QScreen &screen, const QRect &area);

    QKeySequence hotKey() const;
    void setHotKey(const QKeySequence &key);

    const QString &path() const { return m_path; }

private:
    QString m_path;
};
