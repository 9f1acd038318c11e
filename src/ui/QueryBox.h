#pragma once

#include <QLineEdit>

// The single-line query box, which reports every click into it and the Esc key.
class QueryBox : public QLineEdit
{
    Q_OBJECT

public:
    using QLineEdit::QLineEdit;

signals:
    // The left button went down in the box; reported before the box places
    // its cursor, so that a handler which changes the text sees the press
    // land in the new text.
    void clicked();
    // Esc was pressed in the box.
    void escapePressed();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
