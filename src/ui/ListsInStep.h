#pragma once

#include <QObject>

class QListWidget;
class QScrollBar;

// Keeps two lists row for row beside each other: the same row height in
// both, and the same top row whichever way either one scrolls (wheel, scroll
// bar, keys, a selection scrolled into view, a new fill). A player reads
// the answer beside its question, so the two never stand rows apart.
class ListsInStep : public QObject
{
    Q_OBJECT

public:
    ListsInStep(QListWidget &left, QListWidget &right);

private:
    void follow(QScrollBar &leader, QScrollBar &follower);
    // Rows of either list take the tallest row any of them needs, so row k
    // of one stands level with row k of the other.
    void evenRowHeights(QListWidget &list, int first, int last);
    void applyRowHeight(QListWidget &list);

    QListWidget &m_left;
    QListWidget &m_right;
    int m_rowHeight = 0;
};
