#include "ui/QueryBox.h"

#include <QMouseEvent>

void QueryBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
    QLineEdit::mousePressEvent(event);
}
