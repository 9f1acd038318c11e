// How the window's memory grows while the browser pane holds a page that
// loads itself again every 50 ms and carries 20,000 matching links: the
// window's own process (with the harvest's rows) and the engine's processes,
// measured side by side every ten seconds.
//
//   vellmar-page-growth [SECONDS] [--shown]
//
// --shown puts the browser tab in front; by default the quiz tab is, as at
// start. Needs a display (QT_QPA_PLATFORM=offscreen will do).

#include "LoopbackHttpServer.h"

#include "browser/WebPane.h"
#include "ui/Form1.h"
#include "ui/StartUp.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr int Links = 20'000;
constexpr int ReportSeconds = 10;
constexpr int BrowserTab = 2;

QByteArray reloadingPage()
{
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body><script>\n"
           "for (var id = 0; id < " + QByteArray::number(Links) + "; ++id)\n"
           "    document.write('<a href=\"http://portal.test/Sorting.asp?sortid=' + id + '\">第' + id + '类</a> ');\n"
           "addEventListener('load', function () { setTimeout(function () { location.reload(); }, 50); });\n"
           "</script></body></html>";
}

QByteArray statusField(const QString &pid, const char *key)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qsizetype(qstrlen(key))).trimmed();
    }
    return {};
}

double residentMegabytes(const QString &pid)
{
    return statusField(pid, "VmRSS:").split(' ').value(0).toDouble() / 1024;
}

// The engine's processes are this one's children and their children.
double engineMegabytes()
{
    QStringList family{QString::number(getpid())};
    double total = 0;
    bool found = true;
    while (found) {
        found = false;
        for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            if (family.contains(pid) || !pid.front().isDigit())
                continue;
            if (family.contains(QString::fromLatin1(statusField(pid, "PPid:")))) {
                family << pid;
                total += residentMegabytes(pid);
                found = true;
            }
        }
    }
    return total;
}

} // namespace

int main(int argc, char *argv[])
{
    // The browser's plugin is loaded before the application object, as the window loads it.
    StartUp::prepareBrowser();
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const int seconds = arguments.size() > 1 && arguments[1].front().isDigit() ? arguments[1].toInt() : 60;
    const bool shown = arguments.contains(QStringLiteral("--shown"));

    LoopbackHttpServer server;
    server.addPage("/reloading.html", reloadingPage());
    Form1 form;
    form.show();
    if (shown)
        form.SSTab1()->setCurrentIndex(BrowserTab);
    int passes = 0;
    form.WebBrowser1()->whenDownloadComplete(&form, [&passes] { ++passes; });
    form.WebBrowser1()->Navigate(server.url(QStringLiteral("/reloading.html")));

    std::printf("seconds  loads  rows  window-MB  engine-MB\n");
    QElapsedTimer clock;
    clock.start();
    QTimer report;
    report.callOnTimeout([&] {
        const qint64 elapsed = clock.elapsed() / 1000;
        std::printf("%7lld  %5d  %9lld  %9.1f  %9.1f\n", elapsed, passes, form.harvest().size(),
                    residentMegabytes(QStringLiteral("self")), engineMegabytes());
        std::fflush(stdout);
        if (elapsed >= seconds)
            app.quit();
    });
    report.start(ReportSeconds * 1000);
    return app.exec();
}
