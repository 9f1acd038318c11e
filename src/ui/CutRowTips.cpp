#include "ui/CutRowTips.h"

#include <QHelpEvent>
#include <QListWidget>
#include <QStyle>
#include <QToolTip>

CutRowTips::CutRowTips(QListWidget &list)
    : QObject(&list)
    , m_list(list)
{
    m_list.viewport()->installEventFilter(this);
}

QString CutRowTips::tipAt(QPoint point) const
{
    const QListWidgetItem *item = m_list.itemAt(point);
    if (!item)
        return {};
    // The item view leaves this margin on either side of a row's text.
    const int textMargin = m_list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &m_list) + 1;
    const int room = m_list.visualItemRect(item).width() - 2 * textMargin;
    const QString text = item->text();
    return m_list.fontMetrics().horizontalAdvance(text) > room ? text : QString();
}

bool CutRowTips::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QObject::eventFilter(watched, event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const QString tip = tipAt(help->pos());
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), tip, m_list.viewport(), m_list.visualItemRect(m_list.itemAt(help->pos())));
    return true;
}
