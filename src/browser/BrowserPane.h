#pragma once

#include "browser/WebPane.h"

#include <QWebEngineView>

#include <memory>

// The embedded browser of the window: an ordinary browser view that reports
// every finished load and lets its owner read the links of the document it
// holds.
class BrowserPane : public QWebEngineView, public WebPane
{
    Q_OBJECT

public:
    explicit BrowserPane(QWidget *parent = nullptr);

    QWidget *widget() override { return this; }
    void Navigate(const QUrl &address) override;
    void whenDownloadComplete(QObject *context, std::function<void()> handler) override;
    void readLinks(LinksReceiver receiver) override;

signals:
    // Every finished load, whether the page came or not.
    void DownloadComplete();

protected:
    // A link that asks for a new window (target="_blank", window.open) opens
    // in the pane itself, as in an ordinary browser pane, and is harvested
    // like any page.
    QWebEngineView *createWindow(QWebEnginePage::WebWindowType type) override;

private:
    // The engine's pending answers only hold it weakly: the page answers
    // them while it is torn down, after the pane's own part is gone, and
    // by then their receivers' owners may be gone too.
    std::shared_ptr<PassQueue> m_passes = std::make_shared<PassQueue>();
};
