#include "ui/ProgramOptions.h"

#include "Version.h"

#include <cstdio>
#include <cstring>

namespace ProgramOptions {
namespace {

const char HelpText[] =
    "usage: vellmar-quiz [--version | --help]\n"
    "Opens the quiz window of Vellmar答题器 with the question bank data.dat\n"
    "from the program's folder. See vellmar-quiz(1).\n"
    "\n"
    "  --help     print this help\n"
    "  --version  print the version\n";

} // namespace

std::optional<int> answer(int argc, char *argv[])
{
    if (argc != 2)
        return std::nullopt;
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("vellmar-quiz %s\n", VellmarVersion);
        return 0;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(HelpText, stdout);
        return 0;
    }
    return std::nullopt;
}

} // namespace ProgramOptions
