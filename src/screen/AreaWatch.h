#pragma once

#include <QImage>
#include <QObject>
#include <QTimer>

#include <functional>

// Watches an area of the screen and hands it on when its pixels have
// changed and then stayed as they are for one more look: a new question,
// not the fade that brings it in.
class AreaWatch : public QObject
{
    Q_OBJECT

public:
    static constexpr int LookIntervalMs = 400;

    // `look` grabs the area; a null picture is skipped.
    explicit AreaWatch(std::function<QImage()> look, QObject *parent = nullptr);

    void start();
    void stop();
    bool isWatching() const { return m_timer.isActive(); }

    // True when the two pictures show the same: the same size, and hardly a
    // pixel of their small grey copies differs by more than a little.
    static bool sameScene(const QImage &a, const QImage &b);

signals:
    void settled(const QImage &picture);

private:
    void lookOnce();

    std::function<QImage()> m_look;
    QTimer m_timer;
    QImage m_previous;
    QImage m_handedOn;
};
