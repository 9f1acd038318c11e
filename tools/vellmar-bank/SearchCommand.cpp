#include "Commands.h"

#include "CommandInputs.h"
#include "CommandOptions.h"
#include "CommandOutput.h"

#include "bank/QuestionLines.h"
#include "search/SearchQuestions.h"
#include "text/CodePage.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <optional>

namespace BankCommands {
namespace {

QString jsonString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString jsonStrings(const QStringList &texts)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(texts)).toJson(QJsonDocument::Compact));
}

// The keys in the order a reader expects them, which QJsonObject would sort.
QString resultAsJson(const SearchResult &result)
{
    return QStringLiteral("{\"status\": %1, \"hits\": %2, \"questions\": %3, \"answers\": %4}")
        .arg(jsonString(result.StatusText))
        .arg(result.HitCount)
        .arg(jsonStrings(result.Questions), jsonStrings(result.Answers));
}

void printResult(const SearchResult &result)
{
    printLine(result.StatusText);
    for (int hit = 0; hit < result.HitCount; ++hit)
        printLine(result.Questions.at(hit) + QLatin1Char('\t') + result.Answers.at(hit));
}

} // namespace

int search(const QCommandLineParser &parser, const QStringList &arguments)
{
    QuestionLines lines;
    if (!readBank(arguments.at(0), lines))
        return Failed;
    const QString &query = arguments.at(1);
    const std::optional<SearchResult> result = SearchQuestions(lines, query);
    if (parser.isSet(JsonOption)) {
        printLine(result ? resultAsJson(*result) : QStringLiteral("null"));
    } else if (result) {
        printResult(*result);
    } else {
        printMessage(QStringLiteral("query \"%1\" has %2 bytes in GBK; more than %3 are needed to search")
                         .arg(query)
                         .arg(CodePage::ansiByteCount(query))
                         .arg(QueryByteThreshold));
    }
    return Ok;
}

} // namespace BankCommands
