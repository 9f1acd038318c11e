#include "Commands.h"

#include "BankCheck.h"
#include "CommandInputs.h"
#include "CommandOutput.h"
#include "FailureText.h"

#include "bank/BankReader.h"

namespace BankCommands {

int check(const QCommandLineParser &, const QStringList &arguments)
{
    if (!notASource(arguments.at(0)))
        return Failed;
    BankReader reader;
    QuestionLines lines;
    if (!reader.readQuestionLines(arguments.at(0), lines))
        return fail(failureText(reader.failure()));
    const BankReport report = checkBank(lines);
    printLine(report.toText());
    return report.hasProblems() ? Failed : Ok;
}

} // namespace BankCommands
