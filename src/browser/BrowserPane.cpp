#include "browser/BrowserPane.h"

#include "browser/LinkScript.h"
#include "browser/PanePage.h"

#include <QWebEngineProfile>
#include <QWebEngineScript>

BrowserPane::BrowserPane(QWidget *parent)
    : QWebEngineView(parent)
{
    setPage(new PanePage(QWebEngineProfile::defaultProfile(), this));
    connect(this, &QWebEngineView::loadFinished, this, &BrowserPane::DownloadComplete);
}

void BrowserPane::Navigate(const QUrl &address)
{
    load(address);
}

void BrowserPane::whenDownloadComplete(QObject *context, std::function<void()> handler)
{
    connect(this, &BrowserPane::DownloadComplete, context, std::move(handler));
}

void BrowserPane::readLinks(LinksReceiver receiver)
{
    const PassQueue::PassId pass = m_passes->start(std::move(receiver));
    const std::weak_ptr<PassQueue> passes = m_passes;
    page()->runJavaScript(readLinksScript(), QWebEngineScript::ApplicationWorld,
                          [passes, pass](const QVariant &result) {
                              if (const auto alive = passes.lock())
                                  alive->finish(pass, linksFromScriptResult(result));
                          });
}

QWebEngineView *BrowserPane::createWindow(QWebEnginePage::WebWindowType /*type*/)
{
    return this;
}
