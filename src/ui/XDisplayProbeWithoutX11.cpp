// The probe where the system has no X11 (Windows, macOS): the window never
// opens on an X display there, so there is nothing to look at.
#include "ui/XDisplayProbe.h"

XDisplayProbe::XDisplayProbe(const QByteArray &)
{
}

XDisplayProbe::~XDisplayProbe() = default;

void XDisplayProbe::release()
{
    m_connection = nullptr; // never connected
}
