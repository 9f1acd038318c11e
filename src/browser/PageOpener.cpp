#include "browser/PageOpener.h"

#include <QDesktopServices>

PageOpener::PageOpener()
    : m_open(&QDesktopServices::openUrl)
{
}

bool PageOpener::open(const QUrl &address) const
{
    return m_open(address);
}

void PageOpener::replace(OpenFunction open)
{
    m_open = std::move(open);
}

QString PageOpener::failureMessage(const QUrl &address)
{
    return QStringLiteral("无法打开网页，请在浏览器中访问：\n%1").arg(address.toString());
}
