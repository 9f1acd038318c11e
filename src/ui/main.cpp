#include "browser/BrowserEngine.h"
#include "browser/EngineFootprint.h"
#include "platform/RelocationTables.h"
#include "ui/ControlLayout.h"
#include "ui/Form1.h"
#include "ui/PlayerBank.h"
#include "ui/PlayerSettings.h"
#include "ui/ProgramOptions.h"
#include "ui/QtTranslations.h"
#include "ui/StartUp.h"
#include "ui/WindowHandOver.h"
#include "ui/WindowPlatform.h"
#include "ui/XDisplayProbe.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>

#include <cstdio>
#include <vector>

namespace {

// The folder that really holds the program file, links resolved: the bank
// lies there even when the program is started through a link elsewhere.
QString programFolder()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).canonicalPath();
}

// The program's arguments, with Qt asked for `platform` where one is chosen.
std::vector<char *> argumentsFor(int argc, char *argv[], QByteArray &platform)
{
    std::vector<char *> arguments(argv, argv + argc);
    static char platformOption[] = "-platform";
    if (!platform.isEmpty())
        arguments.insert(arguments.begin() + 1, {platformOption, platform.data()});
    arguments.push_back(nullptr);
    return arguments;
}

} // namespace

int main(int argc, char *argv[])
{
    PlayerSettings::nameApplication();
    const ProgramOptions options = ProgramOptions::parse(argc, argv);
    if (options.exitStatus)
        return *options.exitStatus;
    const BrowserChoice browser =
        options.noBrowser || PlayerSettings::browserTurnedOff() ? BrowserChoice::None : BrowserChoice::Engine;
    if (!StartUp::displayAvailable()) {
        std::fputs("vellmar-quiz: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set)\n", stderr);
        return 1;
    }
    const WindowPlatform::Session session = WindowPlatform::currentSession(argc, argv);
    WindowPlatform::Choice platform = WindowPlatform::choose(session);
    if (!platform.note.isEmpty())
        std::fprintf(stderr, "%s\n", qUtf8Printable(platform.note));
    XDisplayProbe display(platform.platform.isEmpty() ? session.requested : platform.platform);
    if (!display.problem().isEmpty()) {
        std::fprintf(stderr, "vellmar-quiz: %s\n", qUtf8Printable(display.problem()));
        return 1;
    }
    BrowserEngine *engine = nullptr;
    if (browser == BrowserChoice::Engine)
        engine = StartUp::prepareBrowser();
    else
        EngineFootprint::drawWithoutOpenGl();

    std::vector<char *> arguments = argumentsFor(argc, argv, platform.platform);
    int argumentCount = int(arguments.size()) - 1;
    QApplication app(argumentCount, arguments.data());
    display.release();
    // A window drawn off screen shares no display with another one.
    const bool onADisplay = QGuiApplication::platformName() != QLatin1String("offscreen");
    if (const std::optional<int> status = onADisplay ? WindowHandOver::handToRunningWindow(options) : std::nullopt)
        return *status;
    QString error;
    PlayerBank::LoadedBank installed;
    if (!options.installBank.isEmpty() && !PlayerBank::install(options.installBank, installed, error)) {
        std::fprintf(stderr, "vellmar-quiz: %s\n", qUtf8Printable(error));
        return 1;
    }
    if (engine)
        engine->start();
    EngineFootprint::giveEnvironmentBack();
    QtTranslations::install(app);
    app.setWindowIcon(QIcon(QStringLiteral(":/icon.ico")));
    Form1 form(nullptr, browser);
    if (onADisplay)
        new WindowHandOver(form);
    if (!StartUp::run(form, PlayerBank::chooseBank(options.bank, programFolder()), error)) {
        std::fprintf(stderr, "vellmar-quiz: %s\n", qUtf8Printable(error));
        QMessageBox::critical(&form, ControlLayout::WindowTitle.toString(), StartUp::failureMessage(error));
        return 1;
    }
    // Everything the window links, the engine's plugin with it, is loaded.
    RelocationTables::release();
    if (!options.installBank.isEmpty())
        form.labtip()->setText(QStringLiteral("已换用新题库：%1道题").arg(form.questionLines().pairCount()));
    return app.exec();
}
