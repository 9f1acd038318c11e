// The browser engine's page process (the renderer, and with the sandbox
// its zygotes), which the engine starts from this program instead of from
// Qt's. It does what Qt's does, once it has let go of the pages its loader
// read only once (RelocationTables).
#include "platform/RelocationTables.h"

#include <QCoreApplication>

#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

namespace QtWebEngineCore {
int processMain(int argc, const char **argv);
}

// In its sandbox the page process cannot read the time zone; the engine's
// own answers stand in for the C library's, as in Qt's page process.
namespace sandbox {
std::tm *localtime_override(const std::time_t *time);
std::tm *localtime_r_override(const std::time_t *time, std::tm *result);
} // namespace sandbox

extern "C" {
__attribute__((visibility("default"))) std::tm *localtime(const std::time_t *time) noexcept
{
    return sandbox::localtime_override(time);
}

__attribute__((visibility("default"))) std::tm *localtime_r(const std::time_t *time, std::tm *result) noexcept
{
    return sandbox::localtime_r_override(time, result);
}
}

int main(int argc, const char **argv)
{
    RelocationTables::release();
    // The engine writes the process's title over its arguments, so the
    // application object keeps copies of its own.
    std::vector<std::unique_ptr<char[]>> copies;
    std::vector<char *> arguments;
    for (int i = 0; i < argc; ++i) {
        const std::size_t size = std::strlen(argv[i]) + 1;
        copies.push_back(std::make_unique<char[]>(size));
        std::memcpy(copies.back().get(), argv[i], size);
        arguments.push_back(copies.back().get());
    }
    arguments.push_back(nullptr);
    int argumentCount = argc;
    QCoreApplication application(argumentCount, arguments.data());
    return QtWebEngineCore::processMain(argc, argv);
}
