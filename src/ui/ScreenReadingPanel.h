#pragma once

#include "search/TolerantSearch.h"

#include <QObject>

class QLabel;
class QListWidget;
class QPushButton;
class QWidget;
class ScreenReading;

// The answers tab's part in reading the question off the screen: the
// buttons that read the marked area, mark it again and watch it, the rows a
// reading gives in lQ and lA with what was read in labtip, and the buttons'
// right-click menu, where the hot key is changed.
class ScreenReadingPanel : public QObject
{
    Q_OBJECT

public:
    struct Controls
    {
        QWidget *page; // the answers tab's page
        QLabel *labtip;
        QListWidget *lQ;
        QListWidget *lA;
    };

    ScreenReadingPanel(ScreenReading &reading, const Controls &controls, QObject *parent = nullptr);

    QPushButton *readButton() const { return m_read; }
    QPushButton *markButton() const { return m_mark; }
    QPushButton *watchButton() const { return m_watch; }

    // The tip for what was read: "识别：TEXT", or, when no question comes
    // close, "没有把握的匹配，识别：TEXT".
    static QString tipFor(const QString &text, const TolerantResult &result);

    // Where the buttons go, in the window's pixels: under the questions, left of Label7.
    static QRect buttonsArea();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeButtons();
    // The menu of the buttons: where the hot key is changed.
    void showMenu(const QPoint &at);
    void chooseHotKey();
    // The tip of 读屏 names the hot key in use.
    void nameHotKey();
    void show(const QString &text, const TolerantResult &result);

    ScreenReading &m_reading;
    Controls m_controls;
    QPushButton *m_read = nullptr;
    QPushButton *m_mark = nullptr;
    QPushButton *m_watch = nullptr;
};
