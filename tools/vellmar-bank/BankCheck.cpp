#include "BankCheck.h"

#include <QStringList>

namespace {

QString listLines(const QList<qsizetype> &numbers)
{
    constexpr qsizetype Shown = 10;
    QStringList shown;
    for (qsizetype index = 0; index < numbers.size() && index < Shown; ++index)
        shown.append(QString::number(numbers.at(index)));
    QString text = shown.join(QStringLiteral(", "));
    if (numbers.size() > Shown)
        text += QStringLiteral(", …");
    return text;
}

QString countWithLines(const QList<qsizetype> &numbers)
{
    if (numbers.isEmpty())
        return QStringLiteral("0");
    return QStringLiteral("%1 (lines %2)").arg(numbers.size()).arg(listLines(numbers));
}

} // namespace

bool BankReport::hasProblems() const
{
    return unpairedLine != 0 || !undecodableLines.isEmpty();
}

QString BankReport::toText() const
{
    QStringList text;
    text << QStringLiteral("lines: %1").arg(lineCount);
    text << QStringLiteral("pairs: %1").arg(pairCount);
    text << QStringLiteral("unpaired last line: %1")
                .arg(unpairedLine ? QStringLiteral("line %1").arg(unpairedLine) : QStringLiteral("none"));
    // The format allows a question without "-"; it is found only by its own characters.
    text << QStringLiteral("question lines without \"-\": %1%2")
                .arg(countWithLines(questionsWithoutDash),
                     questionsWithoutDash.isEmpty() ? QString() : QStringLiteral(" (warning: no initials to search by)"));
    text << QStringLiteral("lines with undecodable bytes: %1").arg(countWithLines(undecodableLines));
    text << (hasProblems() ? QStringLiteral("problems found") : QStringLiteral("ok"));
    return text.join(QLatin1Char('\n'));
}

BankReport checkBank(const QuestionLines &lines)
{
    BankReport report;
    report.lineCount = lines.size();
    report.pairCount = lines.size() / 2;
    // A CR LF after the last answer leaves one empty line with no partner: that is the usual form.
    if (lines.size() % 2 != 0 && !lines.at(lines.size() - 1).isEmpty())
        report.unpairedLine = lines.size();
    for (qsizetype index = 0; index < lines.size(); ++index) {
        const bool isQuestion = index % 2 == 0 && index + 1 < lines.size();
        if (isQuestion && !lines.at(index).contains(QLatin1Char('-')))
            report.questionsWithoutDash.append(index + 1);
        if (lines.hasSubstitutes(index))
            report.undecodableLines.append(index + 1);
    }
    return report;
}
