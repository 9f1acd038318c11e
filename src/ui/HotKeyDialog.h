#pragma once

#include <QDialog>
#include <QKeySequence>

#include <functional>

class QKeySequenceEdit;
class QLabel;
class QPushButton;

// Where the player chooses the key that reads the screen: one combination
// pressed into the field (the next press replaces it), "恢复默认" for
// Ctrl+Alt+D. On 确定 the key is tried at once; a refused one is named in the
// dialog, which stays open with the key before still in use. Esc cancels,
// Enter confirms, Tab leaves the field; while it has the focus it takes the
// whole keyboard, so that a key another program holds can still be typed.
class HotKeyDialog : public QDialog
{
    Q_OBJECT

public:
    // Makes the key the hot key: the refusal in Chinese, or empty once it is.
    using Apply = std::function<QString(const QKeySequence &)>;

    HotKeyDialog(const QKeySequence &current, const QKeySequence &standard, Apply apply, QWidget *parent = nullptr);

    QKeySequence chosenKey() const;

    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Tells whether `key` can be the hot key, and lets 确定 take it only then.
    void judge(const QKeySequence &key);
    bool filterFieldKey(const QKeyEvent &press);
    void showMessage(const QString &message, bool refusal);

    Apply m_apply;
    QKeySequenceEdit *m_field = nullptr;
    QLabel *m_message = nullptr;
    QPushButton *m_ok = nullptr;
};
