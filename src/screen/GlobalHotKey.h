#pragma once

#include <QAbstractNativeEventFilter>
#include <QKeySequence>
#include <QObject>
#include <QString>

#include <cstdint>

// A key that reaches the program wherever the focus is, through the X
// server's key grab on the root window. The grab is made four times, with
// and without NumLock and CapsLock, which X counts as modifiers too.
class GlobalHotKey : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    explicit GlobalHotKey(QObject *parent = nullptr);
    ~GlobalHotKey() override;

    // Grabs `key` (one key with Ctrl, Alt, Shift or Meta), letting go of the
    // one before. False with a reason in problem() when it cannot be had:
    // no X11, a key X has no code for, or another program holding it.
    bool setKey(const QKeySequence &key);
    QString problem() const { return m_problem; }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

signals:
    void activated();

private:
    void release();

    std::uint8_t m_keyCode = 0;
    std::uint16_t m_modifiers = 0;
    QString m_problem;
};
