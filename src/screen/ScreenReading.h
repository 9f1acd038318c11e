#pragma once

#include "bank/QuestionLines.h"
#include "screen/AreaMarker.h"
#include "screen/AreaWatch.h"
#include "screen/GlobalHotKey.h"
#include "screen/PortalScreenshot.h"
#include "screen/PortalShortcuts.h"
#include "screen/RecognitionWorker.h"
#include "screen/ScreenReadingSettings.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QThread>

#include <functional>

class QScreen;

// Reading the question off the screen, for the window: the marked area of
// the screen the window is on, read on request, by the hot key, or whenever
// it settles on something new while watched; the OCR and the ranking run on
// a thread of their own. Under X11 the pixels come from the X server; in a
// Wayland session (XWayland's screen shows only X clients) from the desktop
// portal, which answers later, and the portal's shortcut is the hot key.
class ScreenReading : public QObject
{
    Q_OBJECT

public:
    // `lines` are the window's, kept for its life; `window` tells the screen.
    ScreenReading(const QuestionLines &lines, QWidget &window, ScreenReadingSettings settings, QObject *parent = nullptr);
    ~ScreenReading() override;

    // Reads the marked area; with none marked yet, has it marked first.
    void readArea();
    // Shows the overlay on which the area is marked.
    void markArea();
    void setWatching(bool watching);
    bool isWatching() const { return m_watch.isWatching(); }
    // The bank was replaced: the index is built again at the next reading.
    void bankChanged();

    ScreenReadingSettings &settings() { return m_settings; }
    GlobalHotKey &hotKey() { return m_hotKey; }
    // Makes `key` the hot key at once and keeps it in the settings. When it
    // cannot be had, the key before stays in use and in the settings, and
    // the refusal comes back in Chinese; empty on success.
    QString changeHotKey(const QKeySequence &key);
    // The overlay while it is shown.
    AreaMarker *marker() const { return m_marker; }

    // Why the screen cannot be read here; empty where it can, or where the
    // desktop portal will be asked (and tell).
    static QString unavailableReason();
    // A Wayland session on a platform with a real screen: the portal's way.
    static bool portalSession();
    // In a Wayland session, one line on the portal's shortcut: why it is not
    // the hot key, or the trigger the desktop gave it; empty outside.
    QString hotKeyNote() const;

signals:
    void reading();
    void read(const QString &text, const TolerantResult &result);
    void problem(const QString &message);
    void hotKeyNoteChanged();

private:
    struct PendingGrab
    {
        QRect area;
        std::function<void(const QImage &)> use;
    };

    QScreen &screen() const;
    // Hands the area (the whole screen when empty) to `use`: at once under
    // X11, once the portal's shot has come in a Wayland session.
    void grab(const QRect &area, std::function<void(const QImage &)> use);
    void portalShotTaken(const QImage &desktop, const QString &keptFile);
    void portalShotFailed(const QString &message);
    QImage lookAtMarkedArea();
    QString changePortalHotKey(const QKeySequence &key);
    void showMarker(const QImage &shot);
    void readPicture(const QImage &picture);
    void finished(const ScreenReadingOutcome &outcome);

    QWidget &m_window;
    ScreenReadingSettings m_settings;
    QThread m_thread;
    RecognitionWorker *m_worker = nullptr;
    GlobalHotKey m_hotKey;
    PortalScreenshot *m_portalShot = nullptr; // in a Wayland session only
    PortalShortcuts *m_portalKey = nullptr;
    QList<PendingGrab> m_pendingGrabs;
    QImage m_lastLook;
    bool m_markerAsked = false;
    AreaWatch m_watch;
    QPointer<AreaMarker> m_marker;
    std::function<void()> m_afterMarking; // what marking the area was for
    quint64 m_ticket = 0;
};
