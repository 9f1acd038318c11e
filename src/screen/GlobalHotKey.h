#pragma once

#include <QAbstractNativeEventFilter>
#include <QKeySequence>
#include <QObject>
#include <QString>

#include <cstdint>

// A key that reaches the program wherever the focus is, through the X
// server's key grab on the root window. The grab is made four times, with
// and without NumLock and CapsLock, which X counts as modifiers too. Only
// presses reported for the root window count: a window of the program that
// grabs the whole keyboard (to let the player type a new key) gets them.
class GlobalHotKey : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    explicit GlobalHotKey(QObject *parent = nullptr);
    ~GlobalHotKey() override;

    // Why `key` cannot be a hot key, in Chinese; empty when it can: a letter,
    // a digit or F1–F35 with Ctrl, Alt or Meta (Shift may come too).
    static QString unusableReason(const QKeySequence &key);

    // Grabs `key` and then lets go of the one before. False with a reason in
    // problem() when it cannot be had (no X11, a key unusable or without an
    // X key code, another program holding it); the key before is kept then.
    bool setKey(const QKeySequence &key);
    // The key held; empty when none is.
    QKeySequence key() const { return m_key; }
    QString problem() const { return m_problem; }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

signals:
    void activated();

private:
    struct Grab
    {
        std::uint8_t keyCode = 0;
        std::uint16_t modifiers = 0;
    };
    // The X error code of the first of the four grabs refused, 0 when all were made.
    static std::uint8_t grab(const Grab &wanted);
    static void release(const Grab &held);

    QKeySequence m_key;
    Grab m_held;
    QString m_problem;
};
