#include "Commands.h"

#include "BankDiff.h"
#include "BankText.h"
#include "CommandInputs.h"
#include "CommandOptions.h"
#include "CommandOutput.h"

#include <QJsonArray>

namespace BankCommands {
namespace {

// As diff(1) has them: the banks are the same (Ok), they differ, or they could not be compared.
constexpr int Differ = 1;
constexpr int Trouble = 2;

QJsonArray pairsAsJson(const QList<BankDiff::Pair> &pairs)
{
    QJsonArray array;
    for (const BankDiff::Pair &pair : pairs)
        array.append(QJsonObject{{QStringLiteral("question"), pair.question},
                                 {QStringLiteral("answer"), pair.answer},
                                 {QStringLiteral("line"), pair.line}});
    return array;
}

QJsonObject diffAsJson(const BankDiff &diff)
{
    QJsonArray changed;
    for (const BankDiff::Change &change : diff.changed)
        changed.append(QJsonObject{{QStringLiteral("question"), change.question},
                                   {QStringLiteral("oldAnswer"), change.oldAnswer},
                                   {QStringLiteral("newAnswer"), change.newAnswer},
                                   {QStringLiteral("oldLine"), change.oldLine},
                                   {QStringLiteral("newLine"), change.newLine}});
    return {{QStringLiteral("added"), pairsAsJson(diff.added)},
            {QStringLiteral("removed"), pairsAsJson(diff.removed)},
            {QStringLiteral("changed"), changed}};
}

void printDiff(const BankDiff &diff)
{
    printLine(QStringLiteral("added: %1").arg(diff.added.size()));
    for (const BankDiff::Pair &pair : diff.added)
        printLine(QStringLiteral("+ %1\t%2").arg(pair.question, pair.answer));
    printLine(QStringLiteral("removed: %1").arg(diff.removed.size()));
    for (const BankDiff::Pair &pair : diff.removed)
        printLine(QStringLiteral("- %1\t%2").arg(pair.question, pair.answer));
    printLine(QStringLiteral("changed: %1").arg(diff.changed.size()));
    for (const BankDiff::Change &change : diff.changed)
        printLine(QStringLiteral("~ %1\t%2 -> %3").arg(change.question, change.oldAnswer, change.newAnswer));
}

} // namespace

int diff(const QCommandLineParser &parser, const QStringList &arguments)
{
    QString error;
    BankText older, newer;
    if (!readBankText(arguments.at(0), older, error) || !readBankText(arguments.at(1), newer, error)) {
        printMessage(error);
        return Trouble;
    }
    const BankDiff changes = BankDiff::between(older, newer);
    if (parser.isSet(JsonOption))
        printJson(diffAsJson(changes));
    else
        printDiff(changes);
    return changes.added.isEmpty() && changes.removed.isEmpty() && changes.changed.isEmpty() ? Ok : Differ;
}

} // namespace BankCommands
