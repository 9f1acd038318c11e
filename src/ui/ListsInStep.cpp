#include "ui/ListsInStep.h"

#include <QListWidget>
#include <QScrollBar>

ListsInStep::ListsInStep(QListWidget &left, QListWidget &right)
    : QObject(&left)
    , m_left(left)
    , m_right(right)
{
    for (QListWidget *list : {&m_left, &m_right}) {
        // Scrolled by whole rows, a scroll bar's value is the top row's index.
        list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        connect(list->model(), &QAbstractItemModel::rowsInserted, this,
                [this, list](const QModelIndex &, int first, int last) { evenRowHeights(*list, first, last); });
        connect(list->model(), &QAbstractItemModel::modelReset, this, [this] {
            if (m_left.count() == 0 && m_right.count() == 0)
                m_rowHeight = 0;
        });
    }
    follow(*m_left.verticalScrollBar(), *m_right.verticalScrollBar());
    follow(*m_right.verticalScrollBar(), *m_left.verticalScrollBar());
}

// Setting the value the follower already has emits nothing, so the two
// connections never chase each other.
void ListsInStep::follow(QScrollBar &leader, QScrollBar &follower)
{
    connect(&leader, &QScrollBar::valueChanged, &follower, &QScrollBar::setValue);
    // A range that grows late (the list lays its rows out after a fill) must
    // not leave the follower short of the leader's row.
    connect(&leader, &QScrollBar::rangeChanged, &follower, [&leader, &follower] { follower.setValue(leader.value()); });
}

void ListsInStep::evenRowHeights(QListWidget &list, int first, int last)
{
    int tallest = m_rowHeight;
    for (int row = first; row <= last; ++row)
        tallest = qMax(tallest, list.sizeHintForRow(row));
    if (tallest == m_rowHeight) {
        applyRowHeight(list);
        return;
    }
    m_rowHeight = tallest;
    applyRowHeight(m_left);
    applyRowHeight(m_right);
}

// The width is the list's own: a row spans the list and is cut at its edge.
void ListsInStep::applyRowHeight(QListWidget &list)
{
    const QSize size(0, m_rowHeight);
    for (int row = 0; row < list.count(); ++row) {
        QListWidgetItem *item = list.item(row);
        if (item->sizeHint() != size)
            item->setSizeHint(size);
    }
}
