#include "BankCommands.h"
#include "CommandOutput.h"

#include "text/CodePage.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vellmar-bank"));
    if (!CodePage::gbkAvailable()) {
        std::fputs("vellmar-bank: this Qt build has no GBK (code page 936) converter\n", stderr);
        return BankCommands::Failed;
    }
    return BankCommands::run(QCoreApplication::arguments().mid(1));
}
