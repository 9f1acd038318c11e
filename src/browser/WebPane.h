#pragma once

#include "browser/PassQueue.h"

#include <QUrl>

#include <functional>

class QObject;
class QWidget;

// The browser pane as the window sees it, without the engine: the engine
// lives in a plugin the window loads only when the browser is used, so the
// window program itself links none of it.
class WebPane
{
public:
    using LinksReceiver = PassQueue::Receiver;

    // The pane belongs to the widget it was made on and goes with it.
    virtual ~WebPane() = default;

    // The pane's widget, to place on its tab and in the focus order.
    virtual QWidget *widget() = 0;

    // Starts loading the address into the pane as a plain request (no posted
    // data, no extra headers) and returns at once.
    virtual void Navigate(const QUrl &address) = 0;

    // Calls the handler after every finished load, whether the page came or
    // not, for as long as `context` lives.
    virtual void whenDownloadComplete(QObject *context, std::function<void()> handler) = 0;

    // Reads the links of the document the pane holds now and hands all of
    // them to the receiver at once when the engine answers (usually later,
    // from the event loop). No document, or one without links, gives an
    // empty list. Passes reach their receivers in the order they were asked
    // for; one overtaken by a later pass (its document replaced in another
    // renderer process, which the engine never answers) is given up, and so
    // is one still under way when the pane is destroyed.
    virtual void readLinks(LinksReceiver receiver) = 0;
};
