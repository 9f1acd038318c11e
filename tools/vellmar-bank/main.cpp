#include "BankCommands.h"

#include "text/CodePage.h"

#include <QString>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (!CodePage::gbkAvailable()) {
        std::fputs("vellmar-bank: this Qt build has no GBK (code page 936) converter\n", stderr);
        return BankCommands::Failed;
    }
    QStringList arguments;
    for (int index = 1; index < argc; ++index)
        arguments.append(QString::fromUtf8(argv[index]));
    return BankCommands::run(arguments);
}
