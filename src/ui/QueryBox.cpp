#include "ui/QueryBox.h"

#include <QKeyEvent>
#include <QMouseEvent>

void QueryBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
    QLineEdit::mousePressEvent(event);
}

void QueryBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        emit escapePressed();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
