#pragma once

#include <QLabel>

// A text label that reports the user's clicks on it.
class ClickableLabel : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    // The left button went up over the label it was pressed on.
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};
