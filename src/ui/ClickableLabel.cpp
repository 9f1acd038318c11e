#include "ui/ClickableLabel.h"

#include <QMouseEvent>

// The label holds the mouse from the press on, so every release it gets
// began on it; one that ends off the label is a click taken back.
void ClickableLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
