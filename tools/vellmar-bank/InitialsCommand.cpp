#include "Commands.h"

#include "CommandOutput.h"
#include "InitialsReport.h"

namespace BankCommands {

int initials(const QCommandLineParser &parser, const QStringList &arguments)
{
    QString error;
    const std::unique_ptr<QuestionInitials> initials = questionInitials(parser, error);
    if (!initials)
        return fail(error);
    const QuestionInitials::Filled filled = initials->fill(arguments.at(0));
    printLine(filled.initials);
    reportFilled(filled, *initials, parser, QString(), true);
    return Ok;
}

} // namespace BankCommands
