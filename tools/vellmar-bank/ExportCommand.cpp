#include "Commands.h"

#include "BankExport.h"
#include "CommandInputs.h"
#include "CommandOutput.h"

namespace BankCommands {

int exportSource(const QCommandLineParser &, const QStringList &arguments)
{
    QStringList notes;
    const int status = convertBank(arguments.at(0), arguments.at(1),
                                   [&](const QString &bank, const QByteArray &plain, QByteArray &source, QString &error) {
                                       return BankExport::toSource(plain, bank, source, notes, error);
                                   });
    for (const QString &note : std::as_const(notes))
        printMessage(QStringLiteral("warning: ") + note);
    return status;
}

} // namespace BankCommands
