#include "Commands.h"

#include "BankExport.h"
#include "CommandInputs.h"
#include "CommandOptions.h"
#include "CommandOutput.h"

namespace BankCommands {

int exportSource(const QCommandLineParser &parser, const QStringList &arguments)
{
    QStringList notes;
    const int status = convertBank(arguments.at(0), arguments.at(1),
                                   [&](const QString &bank, const QByteArray &plain, QByteArray &source, QString &error) {
                                       return BankExport::toSource(plain, bank, parser.isSet(LossyOption), source, notes, error);
                                   });
    for (const QString &note : std::as_const(notes))
        printMessage(QStringLiteral("warning: ") + note);
    return status;
}

} // namespace BankCommands
