#include "ui/Form1.h"
#include "ui/StartUp.h"

#include <QApplication>
#include <QTest>
#include <QWindow>

#include <cstdio>

namespace {

// Counts the times a window is shown: a window re-created by a change of
// its flags is hidden and shown again.
class ShowCount : public QObject
{
public:
    int shown = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            ++shown;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

// Starts the window as the program does, on whatever platform the
// environment chose, and reports whether it stays on screen and topmost,
// shown once. Exit status 0 when it does.
int main(int argc, char *argv[])
{
    // The browser's plugin is loaded before the application object, as the window loads it.
    StartUp::prepareBrowser();
    QApplication app(argc, argv);
    Form1 form;
    ShowCount shows;
    form.installEventFilter(&shows);
    QString error;
    if (!StartUp::run(form, qEnvironmentVariable("VELLMAR_SAMPLE_BANK"), error)) {
        std::fprintf(stderr, "stacking-probe: %s\n", qUtf8Printable(error));
        return 2;
    }
    const bool exposed = QTest::qWaitForWindowExposed(&form, 10000);
    // Give a lost window time to show that it is gone.
    QTest::qWait(1000);
    const bool stillExposed = form.windowHandle()->isExposed();
    const bool topmost = form.windowHandle()->flags() & Qt::WindowStaysOnTopHint;
    std::printf("platform=%s exposed=%d stillExposed=%d topmost=%d shown=%d\n",
                qUtf8Printable(QGuiApplication::platformName()), exposed, stillExposed, topmost, shows.shown);
    return exposed && stillExposed && topmost && shows.shown == 1 ? 0 : 1;
}
