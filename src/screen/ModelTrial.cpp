#include "screen/ModelTrial.h"

#include <tesseract/baseapi.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <thread>

namespace {

[[noreturn]] void loadInChild(const char *language)
{
    // The parent's crash handlers (a test's stack dump, say) are not for the
    // child's end: it is the answer.
    for (const int fatal : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL})
        std::signal(fatal, SIG_DFL);
    tesseract::TessBaseAPI engine;
    const bool loaded = engine.Init(nullptr, language, tesseract::OEM_LSTM_ONLY) == 0;
    // No exit handlers: they belong to the parent.
    _exit(loaded ? 0 : 1);
}

// The load takes some 0.1 s. A child that has not ended long after (stuck on
// a lock that another thread of the parent held at the fork) proves nothing
// about the model: it is ended, and none is returned.
constexpr std::chrono::seconds TrialLimit{20};

std::optional<int> endOf(pid_t child)
{
    const auto limit = std::chrono::steady_clock::now() + TrialLimit;
    int status = 0;
    for (;;) {
        const pid_t ended = waitpid(child, &status, WNOHANG);
        if (ended == child)
            return status;
        if (ended < 0 && errno != EINTR)
            return std::nullopt;
        if (std::chrono::steady_clock::now() > limit) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

} // namespace

std::optional<QString> modelTrialFailure(const char *language)
{
    const pid_t child = fork();
    if (child < 0)
        return std::nullopt;
    if (child == 0)
        loadInChild(language);
    const std::optional<int> status = endOf(child);
    if (!status)
        return std::nullopt;
    if (WIFEXITED(*status) && WEXITSTATUS(*status) == 0)
        return std::nullopt;
    if (WIFSIGNALED(*status))
        return QStringLiteral("the OCR model %1 stops Tesseract as it loads (%2): its file is damaged")
            .arg(QLatin1String(language), QString::fromLocal8Bit(strsignal(WTERMSIG(*status))));
    return QStringLiteral("Tesseract cannot load the OCR model %1").arg(QLatin1String(language));
}
