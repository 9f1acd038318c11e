#include "browser/PanePage.h"

#include <QCoreApplication>
#include <QWebEngineSettings>

#include <algorithm>
#include <array>

namespace {

constexpr std::array WebSchemes{QLatin1StringView("http"), QLatin1StringView("https")};
// Content a page makes for its own frames; nothing of it leaves the engine.
constexpr std::array FrameSchemes{QLatin1StringView("about"), QLatin1StringView("data"), QLatin1StringView("blob")};

template <std::size_t Size>
bool holds(const std::array<QLatin1StringView, Size> &schemes, const QString &scheme)
{
    return std::find(schemes.begin(), schemes.end(), scheme) != schemes.end();
}

// The engine asks whether to leave a page that objects to being left through
// a confirm with these words of its own; that one is answered yes, so that a
// page cannot hold the pane. A page asking the same words itself just gets a
// yes, which gains it nothing.
QString leavePageQuestion()
{
    return QCoreApplication::translate(
        "QWebEnginePage", "Are you sure you want to leave this page? Changes that you made may not be saved.");
}

bool opensInPane(const QUrl &url, bool isMainFrame)
{
    const QString scheme = url.scheme();
    return holds(WebSchemes, scheme) || (!isMainFrame && holds(FrameSchemes, scheme));
}

} // namespace

PanePage::PanePage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
    // Schemes the engine cannot open itself would otherwise go to the
    // desktop's opener after a click.
    settings()->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
}

bool PanePage::acceptNavigationRequest(const QUrl &url, NavigationType /*type*/, bool isMainFrame)
{
    return opensInPane(url, isMainFrame);
}

void PanePage::javaScriptAlert(const QUrl & /*securityOrigin*/, const QString & /*message*/)
{
}

bool PanePage::javaScriptConfirm(const QUrl & /*securityOrigin*/, const QString &message)
{
    return message == leavePageQuestion();
}

bool PanePage::javaScriptPrompt(const QUrl & /*securityOrigin*/, const QString & /*message*/,
                                const QString & /*defaultValue*/, QString * /*result*/)
{
    return false;
}
