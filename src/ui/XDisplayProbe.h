#pragma once

#include <QByteArray>
#include <QString>

struct xcb_connection_t;

// Opens the X display that Qt is about to open, to say why it cannot be used
// (its server cannot be reached, or the name is not a display's); Qt itself
// would abort on such a display. The connection is held until release(),
// once Qt has its own: an X server that resets when its last client leaves
// (as Xvfb does) would otherwise refuse Qt's connection while it resets.
class XDisplayProbe
{
public:
    // `platform` is the one Qt is asked for; empty leaves Qt its own choice.
    explicit XDisplayProbe(const QByteArray &platform);
    ~XDisplayProbe();
    XDisplayProbe(const XDisplayProbe &) = delete;
    XDisplayProbe &operator=(const XDisplayProbe &) = delete;

    // Empty when the display can be used, or when the window opens elsewhere.
    QString problem() const { return m_problem; }
    void release();

private:
    xcb_connection_t *m_connection = nullptr;
    QString m_problem;
};
