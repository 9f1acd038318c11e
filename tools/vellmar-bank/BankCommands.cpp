#include "BankCommands.h"

#include "BankCheck.h"
#include "BankSource.h"

#include "bank/BankFile.h"
#include "bank/BankReader.h"
#include "bank/OutputFile.h"
#include "search/SearchQuestions.h"
#include "text/CodePage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

#include <cstdio>
#include <functional>
#include <map>

namespace BankCommands {
namespace {

const char UsageText[] =
    "usage:\n"
    "  vellmar-bank build SOURCE BANK        make an enciphered bank from UTF-8 source lines\n"
    "  vellmar-bank encode PLAIN BANK        encipher a plain GBK bank\n"
    "  vellmar-bank decode BANK PLAIN        decipher a bank\n"
    "  vellmar-bank search [--json] BANK QUERY\n"
    "                                        search a bank as the window does\n"
    "  vellmar-bank check BANK               report the bank's lines, pairs and problems\n";

void write(std::FILE *stream, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stream);
}

void printLine(const QString &text)
{
    write(stdout, text + QLatin1Char('\n'));
}

int fail(const QString &message)
{
    write(stderr, QStringLiteral("vellmar-bank: ") + message + QLatin1Char('\n'));
    return Failed;
}

int usage(const QString &message)
{
    write(stderr, QStringLiteral("vellmar-bank: ") + message + QLatin1Char('\n'));
    write(stderr, QString::fromLatin1(UsageText));
    return Usage;
}

// Outputs never replace their own inputs: the input must survive a command.
bool sameFile(const QString &input, const QString &output)
{
    return OutputFile::isSameFile(input, output);
}

int refuseSameFile(const QString &path)
{
    return fail(QStringLiteral("%1: input and output are the same file; choose another output").arg(path));
}

BankReader toolReader()
{
    return BankReader(BankReader::Language::English);
}

bool readWhole(const QString &path, QByteArray &bytes, QString &error)
{
    BankReader reader = toolReader();
    if (reader.readSourceBytes(path, bytes))
        return true;
    error = reader.errorString();
    return false;
}

int build(const QStringList &arguments)
{
    if (arguments.size() != 2)
        return usage(QStringLiteral("build takes SOURCE and BANK"));
    const QString &source = arguments.at(0);
    const QString &bank = arguments.at(1);
    if (sameFile(source, bank))
        return refuseSameFile(bank);
    QString error;
    QByteArray utf8, plain;
    if (!readWhole(source, utf8, error) || !BankSource::compile(utf8, source, plain, error))
        return fail(error);
    if (plain.size() > BankReader::MaxBytes)
        return fail(QStringLiteral("%1: the bank would be %2 bytes, more than a bank can hold (2147483647)").arg(bank).arg(plain.size()));
    BankFile::cipherInMemory(plain);
    if (!OutputFile::writeWhole(bank, plain, error))
        return fail(error);
    return Ok;
}

// encode and decode are one operation: the cipher is its own inverse.
int cipher(const QStringList &arguments, const QString &name)
{
    if (arguments.size() != 2)
        return usage(QStringLiteral("%1 takes an input and an output file").arg(name));
    const QString &input = arguments.at(0);
    const QString &output = arguments.at(1);
    if (sameFile(input, output))
        return refuseSameFile(output);
    BankReader reader = toolReader();
    QByteArray bytes;
    if (!reader.readPlainBytes(input, bytes))
        return fail(reader.errorString());
    QString error;
    if (!OutputFile::writeWhole(output, bytes, error))
        return fail(error);
    return Ok;
}

QString jsonString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString jsonStrings(const QStringList &texts)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(texts)).toJson(QJsonDocument::Compact));
}

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

int search(QStringList arguments)
{
    const bool json = !arguments.isEmpty() && arguments.first() == QLatin1String("--json");
    if (json)
        arguments.removeFirst();
    if (arguments.size() != 2)
        return usage(QStringLiteral("search takes [--json] BANK QUERY"));
    BankReader reader = toolReader();
    QuestionLines lines;
    if (!reader.readQuestionLines(arguments.at(0), lines))
        return fail(reader.errorString());
    const QString &query = arguments.at(1);
    const std::optional<SearchResult> result = SearchQuestions(lines, query);
    if (json) {
        printLine(result ? resultAsJson(*result) : QStringLiteral("null"));
    } else if (result) {
        printResult(*result);
    } else {
        write(stderr, QStringLiteral("vellmar-bank: query \"%1\" has %2 bytes in GBK; more than %3 are needed to search\n")
                          .arg(query)
                          .arg(CodePage::ansiByteCount(query))
                          .arg(QueryByteThreshold));
    }
    return Ok;
}

int check(const QStringList &arguments)
{
    if (arguments.size() != 1)
        return usage(QStringLiteral("check takes BANK"));
    BankReader reader = toolReader();
    QByteArray bytes;
    if (!reader.readPlainBytes(arguments.at(0), bytes))
        return fail(reader.errorString());
    const BankReport report = checkPlainBank(bytes);
    printLine(report.toText());
    return report.hasProblems() ? Failed : Ok;
}

} // namespace

int run(const QStringList &arguments)
{
    using Command = std::function<int(const QStringList &)>;
    static const std::map<QString, Command> commands = {
        {QStringLiteral("build"), build},
        {QStringLiteral("encode"), [](const QStringList &a) { return cipher(a, QStringLiteral("encode")); }},
        {QStringLiteral("decode"), [](const QStringList &a) { return cipher(a, QStringLiteral("decode")); }},
        {QStringLiteral("search"), search},
        {QStringLiteral("check"), check},
    };
    if (arguments.isEmpty())
        return usage(QStringLiteral("no command given"));
    const auto command = commands.find(arguments.first());
    if (command == commands.end())
        return usage(QStringLiteral("unknown command \"%1\"").arg(arguments.first()));
    return command->second(arguments.mid(1));
}

} // namespace BankCommands
