#pragma once

#include "browser/LinkMatching.h"
#include "browser/PassQueue.h"

#include <QList>
#include <QUrl>
#include <QWebEngineView>

#include <functional>
#include <memory>

// The embedded browser of the window: an ordinary browser view that reports
// every finished load and lets its owner read the links of the document it
// holds.
class BrowserPane : public QWebEngineView
{
    Q_OBJECT

public:
    using LinksReceiver = PassQueue::Receiver;

    explicit BrowserPane(QWidget *parent = nullptr);

    // Starts loading the address into the pane as a plain request (no posted
    // data, no extra headers) and returns at once.
    void Navigate(const QUrl &address);

    // Reads the links of the document the pane holds now and hands all of
    // them to the receiver at once when the engine answers (usually later,
    // from the event loop). No document, or one without links, gives an
    // empty list. Passes reach their receivers in the order they were asked
    // for; one overtaken by a later pass (its document replaced in another
    // renderer process, which the engine never answers) is given up, and so
    // is one still under way when the pane is destroyed.
    void readLinks(LinksReceiver receiver);

signals:
    // Every finished load, whether the page came or not.
    void DownloadComplete();

private:
    // The engine's pending answers only hold it weakly: the page answers
    // them while it is torn down, after the pane's own part is gone, and
    // by then their receivers' owners may be gone too.
    std::shared_ptr<PassQueue> m_passes = std::make_shared<PassQueue>();
};
