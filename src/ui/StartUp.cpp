#include "ui/StartUp.h"

#include "bank/BankReader.h"
#include "browser/BrowserEngine.h"
#include "browser/EngineFootprint.h"
#include "platform/Platform.h"
#include "ui/BankFailureText.h"
#include "ui/BankLoadingSign.h"
#include "ui/BrowserPlugin.h"
#include "ui/Form1.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <optional>

namespace StartUp {
namespace {

bool hasEnvironmentVariable(const char *name)
{
    return !qEnvironmentVariableIsEmpty(name);
}

bool loadBank(Form1 &form, const QString &bankPath, QString &error)
{
    std::optional<BankLoadingSign> sign;
    if (QFileInfo(bankPath).size() >= BankLoadingSign::LargeBankBytes)
        sign.emplace(*form.labtip());
    BankReader reader;
    QuestionLines lines;
    if (!reader.readQuestionLines(bankPath, lines)) {
        error = bankFailureText(reader.failure());
        return false;
    }
    form.setQuestionLines(std::move(lines));
    form.showBankInUse(bankPath, QFileInfo(bankPath).lastModified());
    return true;
}

} // namespace

bool displayAvailable()
{
    return hasEnvironmentVariable("DISPLAY") || hasEnvironmentVariable("WAYLAND_DISPLAY")
        || hasEnvironmentVariable("QT_QPA_PLATFORM");
}

void allowBrowserWithoutSandboxWhenRoot()
{
    if (!Platform::runsAsRoot())
        return;
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    std::fputs("vellmar-quiz: warning: running as root, so web pages run without the browser's sandbox\n", stderr);
}

BrowserEngine *prepareBrowser()
{
    allowBrowserWithoutSandboxWhenRoot();
    EngineFootprint::applyBeforeStart();
    // Loaded before the application object, as the engine expects of a
    // library linked into the program.
    BrowserEngine *engine = BrowserPlugin::engine();
    if (engine)
        engine->prepareBeforeApplication();
    return engine;
}

// The tab panel is part of Qt, so nothing has to be registered before the window is made.
bool run(Form1 &form, const QString &bankPath, QString &error)
{
    form.startBrowserNavigation();
    form.showCentred();
    form.makeTopmost();
    form.setFocusOrder();
    form.showStartTip();
    QCoreApplication::processEvents();
    return loadBank(form, bankPath, error);
}

QString failureMessage(const QString &error)
{
    return QStringLiteral("题库载入失败，Vellmar答题器无法启动。\n\n%1").arg(error);
}

} // namespace StartUp
