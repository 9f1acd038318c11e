#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>

class QScreen;

// The overlay on which the player marks where the game shows its questions:
// the screen as it was, dimmed, over the whole screen; dragging a rectangle
// lights it up, releasing the button marks it, Esc gives up.
class AreaMarker : public QWidget
{
    Q_OBJECT

public:
    // `shot` is the whole screen, grabbed just before.
    AreaMarker(QScreen &screen, QImage shot);

    // Text on the overlay.
    static QString hint();

signals:
    // The area, in the screen's coordinates.
    void marked(const QRect &area);
    void cancelled();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // From where the button went down to where it is, that pixel not included.
    QRect dragged() const;

    QImage m_shot;
    QPoint m_from;
    QPoint m_to;
    bool m_dragging = false;
};
