#include "screen/GlobalHotKey.h"

#include <QGuiApplication>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <array>
#include <cstdlib>
#include <memory>

namespace {

// What X adds to a key's state that the player does not mean as a modifier.
constexpr std::uint16_t NumLock = XCB_MOD_MASK_2;
constexpr std::uint16_t CapsLock = XCB_MOD_MASK_LOCK;
constexpr std::array<std::uint16_t, 4> LockVariants = {0, NumLock, CapsLock, NumLock | CapsLock};

xcb_connection_t *connection()
{
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootWindow(xcb_connection_t *connection)
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

std::uint16_t xModifiers(Qt::KeyboardModifiers modifiers)
{
    std::uint16_t mask = 0;
    if (modifiers & Qt::ControlModifier)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & Qt::AltModifier)
        mask |= XCB_MOD_MASK_1;
    if (modifiers & Qt::ShiftModifier)
        mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & Qt::MetaModifier)
        mask |= XCB_MOD_MASK_4;
    return mask;
}

// The X key symbol of a Qt key: letters and digits are their Latin-1 codes,
// function keys run from XK_F1 (0xFFBE). 0 for any other key.
xcb_keysym_t keySymbol(Qt::Key key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return xcb_keysym_t('a' + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return xcb_keysym_t(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return xcb_keysym_t(0xFFBE + (key - Qt::Key_F1));
    return 0;
}

std::uint8_t keyCodeOf(xcb_connection_t *connection, xcb_keysym_t symbol)
{
    const std::unique_ptr<xcb_key_symbols_t, decltype(&xcb_key_symbols_free)> symbols(xcb_key_symbols_alloc(connection),
                                                                                      xcb_key_symbols_free);
    const std::unique_ptr<xcb_keycode_t, decltype(&std::free)> codes(xcb_key_symbols_get_keycode(symbols.get(), symbol),
                                                                     std::free);
    return codes ? codes.get()[0] : 0;
}

} // namespace

GlobalHotKey::GlobalHotKey(QObject *parent) : QObject(parent)
{
    if (qGuiApp)
        qGuiApp->installNativeEventFilter(this);
}

GlobalHotKey::~GlobalHotKey()
{
    release(m_held);
}

QString GlobalHotKey::unusableReason(const QKeySequence &key)
{
    const QKeyCombination combination = key.isEmpty() ? QKeyCombination() : key[0];
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    const bool held = modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (key.count() == 1 && held && keySymbol(combination.key()) != 0)
        return {};
    return QStringLiteral("热键 %1 无法使用：只能用 Ctrl、Alt 或 Meta 加字母、数字或 F1–F35")
        .arg(key.toString(QKeySequence::NativeText));
}

bool GlobalHotKey::setKey(const QKeySequence &key)
{
    m_problem.clear();
    const QString named = key.toString(QKeySequence::NativeText);
    xcb_connection_t *x = connection();
    if (!x) {
        m_problem = QStringLiteral("全局热键只在 X11 下可用");
        return false;
    }
    if (const QString reason = unusableReason(key); !reason.isEmpty()) {
        m_problem = reason;
        return false;
    }
    const QKeyCombination combination = key[0];
    const Grab wanted{keyCodeOf(x, keySymbol(combination.key())), xModifiers(combination.keyboardModifiers())};
    if (wanted.keyCode == 0) {
        m_problem = QStringLiteral("热键 %1 无法使用：键盘上没有这个键").arg(named);
        return false;
    }
    // The same key again: grabbing it twice and letting go of the "old" one would lose it.
    if (wanted.keyCode == m_held.keyCode && wanted.modifiers == m_held.modifiers) {
        m_key = key;
        return true;
    }
    if (const std::uint8_t error = grab(wanted); error != 0) {
        release(wanted);
        m_problem = error == XCB_ACCESS ? QStringLiteral("热键 %1 已被其他程序占用").arg(named)
                                        : QStringLiteral("热键 %1 无法注册（X 错误 %2）").arg(named).arg(error);
        return false;
    }
    release(m_held);
    m_held = wanted;
    m_key = key;
    return true;
}

std::uint8_t GlobalHotKey::grab(const Grab &wanted)
{
    xcb_connection_t *x = connection();
    std::uint8_t refused = 0;
    for (const std::uint16_t variant : LockVariants) {
        const xcb_void_cookie_t cookie = xcb_grab_key_checked(x, 1, rootWindow(x), wanted.modifiers | variant,
                                                              wanted.keyCode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        if (xcb_generic_error_t *error = xcb_request_check(x, cookie)) {
            refused = refused ? refused : error->error_code;
            std::free(error);
        }
    }
    return refused;
}

// Letting go of a grab another client holds does nothing to theirs.
void GlobalHotKey::release(const Grab &held)
{
    xcb_connection_t *x = connection();
    if (!x || held.keyCode == 0)
        return;
    for (const std::uint16_t variant : LockVariants)
        xcb_ungrab_key(x, held.keyCode, rootWindow(x), held.modifiers | variant);
    xcb_flush(x);
}

bool GlobalHotKey::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (m_held.keyCode == 0 || eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7F) != XCB_KEY_PRESS)
        return false;
    const auto *press = reinterpret_cast<const xcb_key_press_event_t *>(event);
    const std::uint16_t modifiers = press->state & ~(NumLock | CapsLock) & 0xFF;
    if (press->detail != m_held.keyCode || modifiers != m_held.modifiers || press->event != rootWindow(connection()))
        return false;
    emit activated();
    return true;
}
