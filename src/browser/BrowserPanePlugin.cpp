#include "browser/BrowserPanePlugin.h"

#include "browser/BrowserPane.h"
#include "browser/EngineStart.h"

void BrowserPanePlugin::prepareBeforeApplication()
{
    EngineStart::prepareBeforeApplication();
}

void BrowserPanePlugin::start()
{
    EngineStart::start();
}

WebPane *BrowserPanePlugin::createPane(QWidget *parent)
{
    return new BrowserPane(parent);
}
