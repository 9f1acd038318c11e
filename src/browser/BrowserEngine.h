#pragma once

#include <QtPlugin>

class QWidget;
class WebPane;

// What the browser pane's plugin offers the window. The window loads it
// before its application object exists, as a linked engine would be loaded,
// and only when the browser is turned on.
class BrowserEngine
{
public:
    virtual ~BrowserEngine() = default;

    // The engine's own part of its footprint settings (see EngineFootprint),
    // before the application object exists.
    virtual void prepareBeforeApplication() = 0;

    // Starts the engine, once the application object exists and the
    // environment holds the footprint settings.
    virtual void start() = 0;

    // A new pane on `parent`, which owns it.
    virtual WebPane *createPane(QWidget *parent) = 0;
};

#define VellmarBrowserEngine_iid "example.vellmar.quiz.BrowserEngine/1"
Q_DECLARE_INTERFACE(BrowserEngine, VellmarBrowserEngine_iid)
