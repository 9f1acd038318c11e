#pragma once

#include "bank/QuestionLines.h"
#include "screen/AreaMarker.h"
#include "screen/AreaWatch.h"
#include "screen/GlobalHotKey.h"
#include "screen/RecognitionWorker.h"
#include "screen/ScreenReadingSettings.h"

#include <QObject>
#include <QPointer>
#include <QThread>

#include <functional>

class QScreen;

// Reading the question off the screen, for the window: the marked area of
// the screen the window is on, read on request, by the hot key, or whenever
// it settles on something new while watched; the OCR and the ranking run on
// a thread of their own.
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

    // Why the screen cannot be read here; empty where it can.
    static QString unavailableReason();

signals:
    void reading();
    void read(const QString &text, const TolerantResult &result);
    void problem(const QString &message);

private:
    QScreen &screen() const;
    QImage grabMarkedArea() const;
    void readPicture(const QImage &picture);
    void finished(const ScreenReadingOutcome &outcome);

    QWidget &m_window;
    ScreenReadingSettings m_settings;
    QThread m_thread;
    RecognitionWorker *m_worker = nullptr;
    GlobalHotKey m_hotKey;
    AreaWatch m_watch;
    QPointer<AreaMarker> m_marker;
    std::function<void()> m_afterMarking; // what marking the area was for
    quint64 m_ticket = 0;
};
