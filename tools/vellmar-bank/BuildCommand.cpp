#include "Commands.h"

#include "BankLint.h"
#include "BankSource.h"
#include "BankText.h"
#include "CommandInputs.h"
#include "CommandOptions.h"
#include "CommandOutput.h"
#include "FailureText.h"
#include "InitialsReport.h"

#include "bank/BankWriter.h"

namespace BankCommands {
namespace {

// Build and lint judge a source alike: what lint finds, build says as
// warnings; with --strict, lint's errors fail the build.
bool lintAgrees(const QCommandLineParser &parser, const QString &source, const QByteArray &utf8, QuestionInitials &initials)
{
    const LintReport report
        = BankLint::lint(BankText::fromSource(utf8), [&](QStringView question) { return initials.fill(question).initials; });
    for (const LintFinding &finding : report.findings)
        printMessage(QStringLiteral("%1:%2: warning: %3").arg(source).arg(finding.line).arg(finding.reason));
    if (!parser.isSet(StrictOption) || !report.hasErrors())
        return true;
    printMessage(QStringLiteral("%1: lint finds %2; nothing written (--strict)")
                     .arg(source, counted(report.count(LintFinding::Severity::Error), QStringLiteral("error"))));
    return false;
}

} // namespace

int build(const QCommandLineParser &parser, const QStringList &arguments)
{
    const QString &source = arguments.at(0);
    const QString &bank = arguments.at(1);
    const QString readings = parser.value(ReadingsOption);
    if (sameFile(source, bank) || (!readings.isEmpty() && sameFile(readings, bank)))
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
    if (!lintAgrees(parser, source, utf8, *initials))
        return Failed;
    BankWriter writer;
    if (!writer.writeBank(bank, std::move(plain)))
        return fail(failureText(writer.failure()));
    return Ok;
}

} // namespace BankCommands
