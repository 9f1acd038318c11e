#include "Commands.h"

#include "BankCheck.h"
#include "CommandInputs.h"
#include "CommandOutput.h"

namespace BankCommands {

int check(const QCommandLineParser &, const QStringList &arguments)
{
    QuestionLines lines;
    if (!readBank(arguments.at(0), lines))
        return Failed;
    const BankReport report = checkBank(lines);
    printLine(report.toText());
    return report.hasProblems() ? Failed : Ok;
}

} // namespace BankCommands
