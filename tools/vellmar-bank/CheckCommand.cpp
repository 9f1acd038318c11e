#include "Commands.h"

#include "BankCheck.h"
#include "CommandOutput.h"
#include "FailureText.h"

#include "bank/BankReader.h"

namespace BankCommands {

int check(const QCommandLineParser &, const QStringList &arguments)
{
    BankReader reader;
    QByteArray bytes;
    if (!reader.readPlainBytes(arguments.at(0), bytes))
        return fail(failureText(reader.failure()));
    const BankReport report = checkPlainBank(bytes);
    printLine(report.toText());
    return report.hasProblems() ? Failed : Ok;
}

} // namespace BankCommands
