#include "ui/BankLoadingSign.h"

#include <QGuiApplication>
#include <QLabel>

const QString BankLoadingSign::LoadingTip = QStringLiteral("正在载入题库，请稍候…");

BankLoadingSign::BankLoadingSign(QLabel &tip)
    : m_tip(&tip)
    , m_earlierTip(tip.text())
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    tip.setText(LoadingTip);
    // The load keeps the event loop from running, so the tip is painted now.
    tip.repaint();
}

BankLoadingSign::~BankLoadingSign()
{
    QGuiApplication::restoreOverrideCursor();
    if (m_tip)
        m_tip->setText(m_earlierTip);
}
