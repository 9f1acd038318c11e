#include "ui/ScreenReadingPanel.h"

#include "screen/ScreenReading.h"
#include "ui/HotKeyDialog.h"

#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

namespace {

constexpr int ButtonGap = 4;

QPushButton *button(QWidget *page, const QString &text, const QString &tip)
{
    auto *made = new QPushButton(text, page);
    made->setToolTip(tip);
    made->setFocusPolicy(Qt::NoFocus);
    return made;
}

} // namespace

ScreenReadingPanel::ScreenReadingPanel(ScreenReading &reading, const Controls &controls, QObject *parent)
    : QObject(parent), m_reading(reading), m_controls(controls)
{
    m_read = button(controls.page, QStringLiteral("读屏"), QString());
    m_mark = button(controls.page, QStringLiteral("划区"), QStringLiteral("重新划定题目所在的屏幕区域"));
    m_watch = button(controls.page, QStringLiteral("监视"), QStringLiteral("区域里出现新题目时自动读出"));
    m_watch->setCheckable(true);
    connect(m_read, &QPushButton::clicked, &reading, &ScreenReading::readArea);
    connect(m_mark, &QPushButton::clicked, &reading, &ScreenReading::markArea);
    connect(m_watch, &QPushButton::toggled, &reading, &ScreenReading::setWatching);
    connect(&reading, &ScreenReading::reading, this, [this] { m_controls.labtip->setText(QStringLiteral("正在读屏…")); });
    connect(&reading, &ScreenReading::read, this, &ScreenReadingPanel::show);
    connect(&reading, &ScreenReading::hotKeyNoteChanged, this, &ScreenReadingPanel::nameHotKey);
    connect(&reading, &ScreenReading::problem, this, [this](const QString &message) {
        m_controls.labtip->setText(message);
        m_watch->setChecked(m_reading.isWatching());
    });
    for (QPushButton *made : {m_read, m_mark, m_watch}) {
        made->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(made, &QWidget::customContextMenuRequested, this,
                [this, made](const QPoint &at) { showMenu(made->mapToGlobal(at)); });
    }
    controls.page->installEventFilter(this);
    placeButtons();
    nameHotKey();
}

void ScreenReadingPanel::showMenu(const QPoint &at)
{
    QMenu menu;
    menu.addAction(QStringLiteral("设置热键…"), this, &ScreenReadingPanel::chooseHotKey);
    menu.exec(at);
}

void ScreenReadingPanel::chooseHotKey()
{
    const QKeySequence current = m_reading.hotKey().key().isEmpty() ? m_reading.settings().hotKey() : m_reading.hotKey().key();
    auto *dialog = new HotKeyDialog(current, ScreenReadingSettings::defaultHotKey(),
                                    [this](const QKeySequence &key) { return m_reading.changeHotKey(key); },
                                    m_controls.page->window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this] {
        nameHotKey();
        m_controls.labtip->setText(QStringLiteral("读屏热键：%1").arg(m_reading.hotKey().key().toString(QKeySequence::NativeText)));
    });
    dialog->open();
}

void ScreenReadingPanel::nameHotKey()
{
    const GlobalHotKey &held = m_reading.hotKey();
    const QString key = (held.key().isEmpty() ? m_reading.settings().hotKey() : held.key()).toString(QKeySequence::NativeText);
    const QString why = !held.key().isEmpty() ? QString() : !held.problem().isEmpty() ? held.problem() : ScreenReading::unavailableReason();
    const QString tip = why.isEmpty() ? QStringLiteral("读出屏幕上划定区域里的题目（热键 %1，右键可更改）").arg(key)
                                      : QStringLiteral("读出屏幕上划定区域里的题目（热键 %1 未生效：%2）").arg(key, why);
    // In a Wayland session the portal's shortcut gets a line of its own.
    const QString note = m_reading.hotKeyNote();
    m_read->setToolTip(note.isEmpty() ? tip : tip + u'\n' + note);
}

QRect ScreenReadingPanel::buttonsArea()
{
    return QRect(8, 256, 264, 25);
}

QString ScreenReadingPanel::tipFor(const QString &text, const TolerantResult &result)
{
    if (text.isEmpty())
        return QStringLiteral("区域里没有读到文字");
    return (result.Sure ? QStringLiteral("识别：") : QStringLiteral("没有把握的匹配，识别：")) + text;
}

bool ScreenReadingPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_controls.page && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        placeButtons();
    return QObject::eventFilter(watched, event);
}

// The buttons belong to the answers page but are placed in the window's
// pixels, like the layout's controls, whatever the tab strip's height.
void ScreenReadingPanel::placeButtons()
{
    const QPoint pageOrigin = m_controls.page->mapTo(m_controls.page->window(), QPoint(0, 0));
    const QRect area = buttonsArea().translated(-pageOrigin);
    const int width = (area.width() - 2 * ButtonGap) / 3;
    int left = area.left();
    for (QPushButton *made : {m_read, m_mark, m_watch}) {
        made->setGeometry(left, area.top(), width, area.height());
        left += width + ButtonGap;
    }
}

void ScreenReadingPanel::show(const QString &text, const TolerantResult &result)
{
    m_controls.lQ->clear();
    m_controls.lA->clear();
    for (qsizetype row = 0; row < result.Questions.size(); ++row) {
        m_controls.lQ->addItem(result.Questions.at(row));
        m_controls.lA->addItem(result.Answers.at(row));
    }
    m_controls.labtip->setText(tipFor(text, result));
}
