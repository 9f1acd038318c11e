#pragma once

#include "ui/ControlLayout.h"

#include <QString>
#include <QWidget>

#include <vector>

class BrowserEngine;
class QTabWidget;
class WebPane;

// Whether the browser tab holds the browser engine, or only a note saying
// how to turn it back on.
enum class BrowserChoice { Engine, None };

// What the browser tab is made of: a pane of the engine, or without one a
// note in its place.
struct BrowserTabContent
{
    BrowserEngine *engine = nullptr;
    QString note;
};

// Makes the layout's controls, each on its tab's page of a panel and stacked
// in the layout's layers, and keeps them with their rows for their owner.
class ControlFactory
{
public:
    struct MadeControl
    {
        const ControlLayout::ControlSpec *row;
        QWidget *widget;
    };

    ControlFactory(QTabWidget &panel, const BrowserTabContent &browser);

    const std::vector<MadeControl> &controls() const { return m_made; }
    // The browser pane made for WebBrowser1; null where the tab holds a note.
    WebPane *pane() const { return m_pane; }

    // The control made for the row of that name, as the class its kind makes.
    template <typename Widget>
    Widget *control(QStringView name) const
    {
        auto *widget = qobject_cast<Widget *>(made(name));
        if (!widget)
            reportMissing(name);
        return widget;
    }

private:
    QWidget *made(QStringView name) const;
    // The layout is built in, so a control it lacks is a fault of the program.
    [[noreturn]] static void reportMissing(QStringView name);

    std::vector<MadeControl> m_made;
    WebPane *m_pane = nullptr;
};
