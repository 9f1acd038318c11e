#include "Commands.h"

#include "BankLint.h"
#include "BankText.h"
#include "CommandInputs.h"
#include "CommandOptions.h"
#include "CommandOutput.h"
#include "InitialsReport.h"

#include <QJsonArray>

#include <algorithm>

namespace BankCommands {
namespace {

// Lint's exit status when it found errors is Failed; when it could not lint at all, this.
constexpr int CannotLint = 2;

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
    printLine(QStringLiteral("%1: %2, %3, %4")
                  .arg(path, counted(text.pairCount(), QStringLiteral("pair")),
                       counted(report.count(LintFinding::Severity::Error), QStringLiteral("error")),
                       counted(report.count(LintFinding::Severity::Warning), QStringLiteral("warning"))));
}

// The warnings build gives for a source's questions whose initials it
// fills in: characters of several readings that no word settles.
void addReadingWarnings(const BankText &text, QuestionInitials &initials, LintReport &report)
{
    if (text.kind != BankText::Kind::Source)
        return;
    for (qsizetype index = 0; index + 1 < text.lines.size(); index += 2) {
        const BankText::Line &question = text.lines.at(index);
        if (question.text.contains(QLatin1Char('-')))
            continue;
        const QString warning = severalReadingsWarning(initials.fill(question.text), initials);
        if (!warning.isEmpty())
            report.findings.append({question.number, LintFinding::Severity::Warning, QStringLiteral("several-readings"), warning});
    }
    std::stable_sort(report.findings.begin(), report.findings.end(),
                     [](const LintFinding &left, const LintFinding &right) { return left.line < right.line; });
}

int cannotLint(const QCommandLineParser &parser, const QString &path, const QString &error)
{
    printMessage(error);
    if (parser.isSet(JsonOption))
        printJson({{QStringLiteral("file"), path}, {QStringLiteral("error"), error}});
    return CannotLint;
}

} // namespace

int lint(const QCommandLineParser &parser, const QStringList &arguments)
{
    const QString &path = arguments.at(0);
    QString error;
    BankText text;
    const std::unique_ptr<QuestionInitials> initials = questionInitials(parser, error);
    if (!initials || !readBankText(path, text, error))
        return cannotLint(parser, path, error);
    LintReport report = BankLint::lint(text, [&](QStringView question) { return initials->fill(question).initials; });
    addReadingWarnings(text, *initials, report);
    if (parser.isSet(JsonOption))
        printJson(lintAsJson(path, text, report));
    else
        printLint(path, text, report);
    return report.hasErrors() ? Failed : Ok;
}

} // namespace BankCommands
