#include "screen/AreaMarker.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cstdlib>

namespace {

// Smaller than this is a click, not an area.
constexpr int SmallestSide = 8;

} // namespace

AreaMarker::AreaMarker(QScreen &screen, QImage shot) : QWidget(nullptr), m_shot(std::move(shot))
{
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool);
    setAttribute(Qt::WA_DeleteOnClose);
    setCursor(Qt::CrossCursor);
    setScreen(&screen);
    setGeometry(screen.geometry());
}

QRect AreaMarker::dragged() const
{
    const QPoint topLeft(std::min(m_from.x(), m_to.x()), std::min(m_from.y(), m_to.y()));
    return QRect(topLeft, QSize(std::abs(m_to.x() - m_from.x()), std::abs(m_to.y() - m_from.y())));
}

QString AreaMarker::hint()
{
    return QStringLiteral("按住鼠标拖出题目所在的区域，松开即记住；Esc 取消");
}

void AreaMarker::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRectF whole = rect();
    painter.drawImage(whole, m_shot);
    painter.fillRect(whole, QColor(0, 0, 0, 110));
    if (m_dragging || !dragged().isEmpty()) {
        const QRect area = dragged();
        const qreal scale = m_shot.isNull() ? 1.0 : m_shot.width() / qreal(width());
        painter.drawImage(area, m_shot, QRectF(area.topLeft() * scale, area.size() * scale));
        painter.setPen(QPen(QColor(0x00, 0xFF, 0xFF), 2));
        painter.drawRect(area.adjusted(-1, -1, 0, 0));
    }
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(20);
    painter.setFont(font);
    painter.drawText(rect().adjusted(0, 40, 0, 0), Qt::AlignHCenter | Qt::AlignTop, hint());
}

void AreaMarker::mousePressEvent(QMouseEvent *event)
{
    m_dragging = true;
    m_from = m_to = event->position().toPoint();
    update();
}

void AreaMarker::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return;
    m_to = event->position().toPoint();
    update();
}

void AreaMarker::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return;
    m_dragging = false;
    m_to = event->position().toPoint();
    const QRect area = dragged();
    if (area.width() < SmallestSide || area.height() < SmallestSide) {
        update();
        return;
    }
    emit marked(area);
    close();
}

void AreaMarker::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Escape)
        return QWidget::keyPressEvent(event);
    emit cancelled();
    close();
}
