#pragma once

#include "browser/BrowserEngine.h"

#include <QObject>

// The browser pane's plugin: the one object the window asks for the engine.
class BrowserPanePlugin : public QObject, public BrowserEngine
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VellmarBrowserEngine_iid)
    Q_INTERFACES(BrowserEngine)

public:
    void prepareBeforeApplication() override;
    void start() override;
    WebPane *createPane(QWidget *parent) override;
};
