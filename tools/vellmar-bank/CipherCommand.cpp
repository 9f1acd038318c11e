#include "Commands.h"

#include "CommandInputs.h"

namespace BankCommands {

// encode and decode are one operation: the cipher is its own inverse.
int cipher(const QCommandLineParser &, const QStringList &arguments)
{
    return convertBank(arguments.at(0), arguments.at(1), [](const QString &, const QByteArray &plain, QByteArray &output, QString &) {
        output = plain;
        return true;
    });
}

} // namespace BankCommands
