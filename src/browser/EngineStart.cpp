#include "browser/EngineStart.h"

#include <QQuickWindow>
#include <QWebEngineProfile>

#include <malloc.h>

namespace EngineStart {

// Following Qt Quick, the engine too composites in software: no OpenGL
// driver is loaded (in software rendering that alone costs tens of
// megabytes), and no GPU thread runs.
void prepareBeforeApplication()
{
    if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND"))
        QQuickWindow::setSceneGraphBackend(QStringLiteral("software"));
    // The engine runs some thirty threads in the window's process, and glibc
    // would give each that allocates an arena of its own (up to eight a
    // core), each keeping the memory freed in it: two serve a small pane.
    // Before any thread has started; the renderer is a process of its own.
    mallopt(M_ARENA_MAX, 2);
}

void start()
{
    QWebEngineProfile::defaultProfile();
}

} // namespace EngineStart
