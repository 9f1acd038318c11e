#include "ui/BankLoadingSign.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QTimer>
#include <QWindow>

namespace {

// How long the sign waits for the display to expose a window just shown.
constexpr int ExposeWaitMs = 1000;

// Lets everything but the user's input run: the user's keys and clicks wait
// for after the load.
void runPendingNonInputEvents(QEventLoop::ProcessEventsFlags more = {})
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | more);
}

// A window just shown is exposed by the display some time later (a window
// manager first frames it), and nothing painted before then is ever seen.
void waitUntilExposed(const QWindow &window)
{
    const QDeadlineTimer deadline(ExposeWaitMs);
    QTimer wake; // so that waiting for events ends by the deadline
    wake.start(ExposeWaitMs);
    while (!window.isExposed() && !deadline.hasExpired())
        runPendingNonInputEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace

const QString BankLoadingSign::LoadingTip = QStringLiteral("正在载入题库，请稍候…");

BankLoadingSign::BankLoadingSign(QLabel &tip)
    : m_tip(&tip)
    , m_earlierTip(tip.text())
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    tip.setText(LoadingTip);
    if (const QWindow *window = tip.window()->windowHandle())
        waitUntilExposed(*window);
    // The load keeps the event loop from running, so the tip is painted now
    // and handed to the display.
    tip.repaint();
    runPendingNonInputEvents();
}

BankLoadingSign::~BankLoadingSign()
{
    QGuiApplication::restoreOverrideCursor();
    if (m_tip)
        m_tip->setText(m_earlierTip);
}
