#include "Commands.h"

#include "BankLint.h"
#include "BankText.h"
#include "CommandInputs.h"
#include "CommandOptions.h"
#include "CommandOutput.h"
#include "InitialsReport.h"

#include <QJsonArray>

namespace BankCommands {
namespace {

QString severityName(LintFinding::Severity severity)
{
    return severity == LintFinding::Severity::Error ? QStringLiteral("error") : QStringLiteral("warning");
}

QJsonObject lintAsJson(const QString &path, const BankText &text, const LintReport &report)
{
    QJsonArray findings;
    for (const LintFinding &finding : report.findings)
        findings.append(QJsonObject{{QStringLiteral("line"), finding.line},
                                    {QStringLiteral("severity"), severityName(finding.severity)},
                                    {QStringLiteral("kind"), finding.kind},
                                    {QStringLiteral("reason"), finding.reason}});
    return {{QStringLiteral("file"), path},
            {QStringLiteral("type"), text.kind == BankText::Kind::Source ? QStringLiteral("source") : QStringLiteral("bank")},
            {QStringLiteral("pairs"), text.pairCount()},
            {QStringLiteral("errors"), report.count(LintFinding::Severity::Error)},
            {QStringLiteral("warnings"), report.count(LintFinding::Severity::Warning)},
            {QStringLiteral("findings"), findings}};
}

void printLint(const QString &path, const BankText &text, const LintReport &report)
{
    for (const LintFinding &finding : report.findings)
        printLine(QStringLiteral("%1:%2: %3: %4").arg(path).arg(finding.line).arg(severityName(finding.severity), finding.reason));
    printLine(QStringLiteral("%1: %2 pairs, %3 errors, %4 warnings")
                  .arg(path)
                  .arg(text.pairCount())
                  .arg(report.count(LintFinding::Severity::Error))
                  .arg(report.count(LintFinding::Severity::Warning)));
}

} // namespace

int lint(const QCommandLineParser &parser, const QStringList &arguments)
{
    const QString &path = arguments.at(0);
    QString error;
    BankText text;
    const std::unique_ptr<QuestionInitials> initials = questionInitials(parser, error);
    if (!initials || !readBankText(path, text, error))
        return fail(error);
    const LintReport report = BankLint::lint(text, [&](QStringView question) { return initials->fill(question).initials; });
    if (parser.isSet(JsonOption))
        printJson(lintAsJson(path, text, report));
    else
        printLint(path, text, report);
    return report.hasErrors() ? Failed : Ok;
}

} // namespace BankCommands
