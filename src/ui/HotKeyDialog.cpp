#include "ui/HotKeyDialog.h"

#include "screen/GlobalHotKey.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString Hint = QStringLiteral("按下新的热键：Ctrl、Alt 或 Meta 加字母、数字或 F1–F35");

bool isModifier(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta
        || key == Qt::Key_AltGr || key == Qt::Key_Super_L || key == Qt::Key_Super_R;
}

} // namespace

HotKeyDialog::HotKeyDialog(const QKeySequence &current, const QKeySequence &standard, Apply apply, QWidget *parent)
    : QDialog(parent), m_apply(std::move(apply))
{
    setWindowTitle(QStringLiteral("设置读屏热键"));
    auto *prompt = new QLabel(QStringLiteral("读屏热键："), this);
    m_field = new QKeySequenceEdit(current, this);
    m_field->setAccessibleName(QStringLiteral("读屏热键"));
    m_field->setAccessibleDescription(Hint);
    prompt->setBuddy(m_field);
    m_message = new QLabel(Hint, this);
    m_message->setWordWrap(true);
    m_message->setAccessibleName(QStringLiteral("热键说明"));

    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    QPushButton *reset = buttons->addButton(QStringLiteral("恢复默认"), QDialogButtonBox::ResetRole);
    reset->setToolTip(QStringLiteral("改回 %1").arg(standard.toString(QKeySequence::NativeText)));
    for (QAbstractButton *button : buttons->buttons())
        button->setAccessibleName(button->text());
    connect(buttons, &QDialogButtonBox::accepted, this, &HotKeyDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &HotKeyDialog::reject);
    connect(reset, &QPushButton::clicked, this, [this, standard] { m_field->setKeySequence(standard); });
    connect(m_field, &QKeySequenceEdit::keySequenceChanged, this, &HotKeyDialog::judge);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(m_field);
    layout->addWidget(m_message);
    layout->addWidget(buttons);
    setMinimumWidth(340);
    m_field->installEventFilter(this);
    m_field->setFocus();
    judge(current);
}

QKeySequence HotKeyDialog::chosenKey() const
{
    return m_field->keySequence();
}

void HotKeyDialog::accept()
{
    if (const QString refusal = m_apply(chosenKey()); !refusal.isEmpty()) {
        showMessage(refusal, true);
        m_field->setFocus();
        return;
    }
    QDialog::accept();
}

void HotKeyDialog::judge(const QKeySequence &key)
{
    const QString reason = GlobalHotKey::unusableReason(key);
    showMessage(reason.isEmpty() ? Hint : reason, !reason.isEmpty());
    m_ok->setEnabled(reason.isEmpty());
}

bool HotKeyDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_field) {
        switch (event->type()) {
        case QEvent::FocusIn:
            m_field->grabKeyboard();
            break;
        case QEvent::FocusOut:
        case QEvent::Hide:
            m_field->releaseKeyboard();
            break;
        case QEvent::KeyPress:
            return filterFieldKey(static_cast<const QKeyEvent &>(*event));
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// The field would record up to four combinations, each a second after the
// keys are let go; a hot key is one, taken as it is pressed. A key without
// modifiers is never a hot key: Esc, Enter and Tab keep their meaning in a
// dialog.
bool HotKeyDialog::filterFieldKey(const QKeyEvent &press)
{
    const Qt::KeyboardModifiers modifiers = press.modifiers() & ~Qt::KeypadModifier;
    if (isModifier(press.key()) || press.key() == Qt::Key_unknown)
        return true;
    if (modifiers == Qt::NoModifier) {
        switch (press.key()) {
        case Qt::Key_Escape:
            reject();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (m_ok->isEnabled())
                accept();
            return true;
        case Qt::Key_Tab:
            focusNextChild();
            return true;
        default:
            break;
        }
    }
    if (modifiers == Qt::ShiftModifier && press.key() == Qt::Key_Backtab) {
        focusPreviousChild();
        return true;
    }
    m_field->setKeySequence(QKeySequence(QKeyCombination(modifiers, Qt::Key(press.key()))));
    return true;
}

void HotKeyDialog::showMessage(const QString &message, bool refusal)
{
    m_message->setText(message);
    m_message->setStyleSheet(refusal ? QStringLiteral("color: #B00020;") : QString());
}
