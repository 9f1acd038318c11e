#include "browser/EngineStart.h"

#include <QQuickWindow>
#include <QWebEngineProfile>

namespace EngineStart {

// Following Qt Quick, the engine too composites in software: no OpenGL
// driver is loaded (in software rendering that alone costs tens of
// megabytes), and no GPU thread runs.
void prepareBeforeApplication()
{
    if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND"))
        QQuickWindow::setSceneGraphBackend(QStringLiteral("software"));
}

void start()
{
    QWebEngineProfile::defaultProfile();
}

} // namespace EngineStart
