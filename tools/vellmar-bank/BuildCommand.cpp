#include "Commands.h"

#include "BankSource.h"
#include "CommandInputs.h"
#include "CommandOptions.h"
#include "CommandOutput.h"
#include "FailureText.h"
#include "InitialsReport.h"

#include "bank/BankWriter.h"

namespace BankCommands {

int build(const QCommandLineParser &parser, const QStringList &arguments)
{
    const QString &source = arguments.at(0);
    const QString &bank = arguments.at(1);
    if (sameFile(source, bank))
        return refuseSameFile(bank);
    QString error;
    const std::unique_ptr<QuestionInitials> initials = questionInitials(parser, error);
    if (!initials)
        return fail(error);
    const BankSource::FillInitials fill = [&](const QString &question, qsizetype line) {
        const QuestionInitials::Filled filled = initials->fill(question);
        reportFilled(filled, *initials, parser, QStringLiteral("%1:%2: ").arg(source).arg(line), parser.isSet(VerboseOption));
        return filled.initials;
    };
    QByteArray utf8, plain;
    if (!readSource(source, utf8, error)
        || !BankSource::compile(utf8, source, plain, error, parser.isSet(NoInitialsOption) ? BankSource::FillInitials() : fill))
        return fail(error);
    BankWriter writer;
    if (!writer.writeBank(bank, std::move(plain)))
        return fail(failureText(writer.failure()));
    return Ok;
}

} // namespace BankCommands
