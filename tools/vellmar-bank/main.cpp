#include "BankCommands.h"

#include "Version.h"
#include "text/CodePage.h"

#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstring>

namespace {

const char HelpText[] =
    "usage: vellmar-bank COMMAND ARGUMENTS...\n"
    "Makes, reads and tries the question banks of Vellmar答题器.\n"
    "\n"
    "Commands: build, encode, decode, search, check. Run vellmar-bank without\n"
    "arguments for the arguments of each, or see vellmar-bank(1).\n"
    "\n"
    "  --help     print this help\n"
    "  --version  print the version\n";

// The program's own options, which stand alone in place of a command.
bool answersOption(int argc, char *argv[])
{
    if (argc != 2)
        return false;
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("vellmar-bank %s\n", VellmarVersion);
        return true;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(HelpText, stdout);
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (answersOption(argc, argv))
        return BankCommands::Ok;
    try {
        CodePage::requireGbk();
    } catch (const CodePage::Unavailable &error) {
        std::fprintf(stderr, "vellmar-bank: %s\n", error.what());
        return BankCommands::Failed;
    }
    QStringList arguments;
    for (int index = 1; index < argc; ++index)
        arguments.append(QString::fromUtf8(argv[index]));
    return BankCommands::run(arguments);
}
