#include "BankCommands.h"

#include "text/CodePage.h"

#include <QString>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[])
{
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
