#pragma once

#include <QObject>

class QListWidget;

// A row too long for its list is cut with "…"; resting the pointer on it
// shows its whole text. Rows that are whole show no tip.
class CutRowTips : public QObject
{
    Q_OBJECT

public:
    explicit CutRowTips(QListWidget &list);

    // The whole text of the row at `point` (viewport coordinates) when the
    // list cuts it, else nothing.
    QString tipAt(QPoint point) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QListWidget &m_list;
};
