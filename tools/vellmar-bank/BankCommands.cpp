#include "BankCommands.h"

#include "BankCheck.h"
#include "BankDiff.h"
#include "BankExport.h"
#include "BankLint.h"
#include "BankSource.h"
#include "BankText.h"
#include "QuestionInitials.h"
#include "SeveralReadings.h"
#include "Version.h"

#include "bank/BankFile.h"
#include "bank/BankReader.h"
#include "bank/OutputFile.h"
#include "platform/FileSystem.h"
#include "search/SearchQuestions.h"
#include "text/CodePage.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

namespace BankCommands {
namespace {

const QString ToolName = QStringLiteral("vellmar-bank");
const QString StandardStream = QStringLiteral("-");

void write(std::FILE *stream, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stream);
}

void printLine(const QString &text)
{
    write(stdout, text + QLatin1Char('\n'));
}

void printMessage(const QString &message)
{
    write(stderr, ToolName + QStringLiteral(": ") + message + QLatin1Char('\n'));
}

int fail(const QString &message)
{
    printMessage(message);
    return Failed;
}

void printJson(const QJsonObject &object)
{
    write(stdout, QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented)));
}

// Outputs never replace their own inputs: the input must survive a command.
bool sameFile(const QString &input, const QString &output)
{
    return output != StandardStream && FileSystem::sameFile(input, output);
}

int refuseSameFile(const QString &path)
{
    return fail(QStringLiteral("%1: input and output are the same file; choose another output").arg(path));
}

BankReader toolReader()
{
    return BankReader(BankReader::Language::English);
}

// A source is the maker's own text file, read whole as it is, with the checks a bank gets.
bool readSource(const QString &path, QByteArray &bytes, QString &error)
{
    BankReader reader = toolReader();
    if (reader.readSourceBytes(path, bytes))
        return true;
    error = reader.errorString();
    return false;
}

// Lint and diff take a source or a bank, told apart by their bytes.
bool readBankText(const QString &path, BankText &text, QString &error)
{
    BankReader reader = toolReader();
    QByteArray bytes;
    if (!reader.readFileBytes(path, bytes)) {
        error = reader.errorString();
        return false;
    }
    if (BankText::isSource(bytes)) {
        text = BankText::fromSource(bytes);
    } else {
        BankFile::cipherInMemory(bytes);
        text = BankText::fromPlainBank(bytes);
    }
    return true;
}

bool readOverrides(const QString &path, ReadingOverrides &overrides, QString &error)
{
    if (path.isEmpty())
        return true;
    QByteArray bytes;
    return readSource(path, bytes, error) && ReadingOverrides::parse(bytes, path, overrides, error);
}

// --- the command line -------------------------------------------------------

const QCommandLineOption JsonOption(QStringLiteral("json"), QStringLiteral("Print one JSON value instead of text."));
const QCommandLineOption ReadingsOption(QStringList{QStringLiteral("r"), QStringLiteral("readings")},
                                        QStringLiteral("Words whose readings the makers chose, one \"WORD INITIALS\" a line."),
                                        QStringLiteral("FILE"));
const QCommandLineOption VerboseOption(QStringLiteral("verbose"),
                                       QStringLiteral("Say which chosen readings were used, and where."));
const QCommandLineOption HelpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
const QCommandLineOption NoInitialsOption(QStringLiteral("no-initials"),
                                          QStringLiteral("Keep question lines without \"-\" as they are."));

struct Argument
{
    QString name;
    QString description;
};

struct Command
{
    QString name;
    QString summary;
    QList<Argument> arguments;
    QList<QCommandLineOption> options;
    std::function<int(const QCommandLineParser &parser, const QStringList &arguments)> run;
};

int build(const QCommandLineParser &parser, const QStringList &arguments);
int initials(const QCommandLineParser &parser, const QStringList &arguments);
int cipher(const QCommandLineParser &parser, const QStringList &arguments);
int exportSource(const QCommandLineParser &parser, const QStringList &arguments);
int search(const QCommandLineParser &parser, const QStringList &arguments);
int check(const QCommandLineParser &parser, const QStringList &arguments);
int lint(const QCommandLineParser &parser, const QStringList &arguments);
int diff(const QCommandLineParser &parser, const QStringList &arguments);

const QList<Command> &commands()
{
    static const QList<Command> table = {
        {QStringLiteral("build"), QStringLiteral("Make an enciphered bank from a UTF-8 source, filling in initials."),
         {{QStringLiteral("SOURCE"), QStringLiteral("UTF-8 text, LF or CR LF lines, questions and answers alternating.")},
          {QStringLiteral("BANK"), QStringLiteral("The bank to write: GBK, CR LF lines, enciphered.")}},
         {ReadingsOption, VerboseOption, NoInitialsOption}, build},
        {QStringLiteral("initials"), QStringLiteral("Print the initials build would fill in for a question."),
         {{QStringLiteral("TEXT"), QStringLiteral("The question.")}}, {ReadingsOption}, initials},
        {QStringLiteral("encode"), QStringLiteral("Encipher a plain GBK bank."),
         {{QStringLiteral("PLAIN"), QStringLiteral("The plain bank.")},
          {QStringLiteral("BANK"), QStringLiteral("The enciphered bank to write, or - for standard output.")}},
         {}, cipher},
        {QStringLiteral("decode"), QStringLiteral("Decipher a bank to plain GBK."),
         {{QStringLiteral("BANK"), QStringLiteral("The enciphered bank.")},
          {QStringLiteral("PLAIN"), QStringLiteral("The plain bank to write, or - for standard output.")}},
         {}, cipher},
        {QStringLiteral("export"), QStringLiteral("Turn a bank back into a UTF-8 source that build reads."),
         {{QStringLiteral("BANK"), QStringLiteral("The enciphered bank.")},
          {QStringLiteral("SOURCE"), QStringLiteral("The source to write, or - for standard output.")}},
         {}, exportSource},
        {QStringLiteral("search"), QStringLiteral("Search a bank as the window does."),
         {{QStringLiteral("BANK"), QStringLiteral("The enciphered bank.")}, {QStringLiteral("QUERY"), QStringLiteral("What a player types.")}},
         {JsonOption}, search},
        {QStringLiteral("check"), QStringLiteral("Report a bank's lines, pairs and problems of shape."),
         {{QStringLiteral("BANK"), QStringLiteral("The enciphered bank.")}}, {}, check},
        {QStringLiteral("lint"), QStringLiteral("Find what players would report: repeated, wrong and unfindable questions."),
         {{QStringLiteral("FILE"), QStringLiteral("A source or an enciphered bank.")}}, {JsonOption, ReadingsOption}, lint},
        {QStringLiteral("diff"), QStringLiteral("List the pairs added, removed and changed between two versions."),
         {{QStringLiteral("OLD"), QStringLiteral("The older source or bank.")}, {QStringLiteral("NEW"), QStringLiteral("The newer one.")}},
         {JsonOption}, diff},
    };
    return table;
}

QString usageLine(const Command &command)
{
    QStringList words{ToolName, command.name};
    if (!command.options.isEmpty())
        words << QStringLiteral("[options]");
    for (const Argument &argument : command.arguments)
        words << argument.name;
    return QStringLiteral("Usage: ") + words.join(QLatin1Char(' '));
}

// Qt's help text, with a usage line that names the command.
QString helpText(const QCommandLineParser &parser, const QString &usage)
{
    const QString text = parser.helpText();
    return usage + text.mid(text.indexOf(QLatin1Char('\n')));
}

QString toolDescription()
{
    QStringList lines{QStringLiteral("Make, check and compare the question banks of the Vellmar quiz window."), QString(),
                      QStringLiteral("Commands:")};
    for (const Command &command : commands())
        lines << QStringLiteral("  %1  %2").arg(command.name.leftJustified(9), command.summary);
    lines << QString() << QStringLiteral("Run \"%1 COMMAND --help\" for a command's arguments and options.").arg(ToolName);
    return lines.join(QLatin1Char('\n'));
}

int usageError(const QString &message, const QString &helpHint)
{
    printMessage(message);
    write(stderr, QStringLiteral("Run \"%1 --help\" for usage.\n").arg(helpHint));
    return Usage;
}

int runCommand(const Command &command, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(command.summary);
    parser.addOption(HelpOption);
    parser.addOptions(command.options);
    for (const Argument &argument : command.arguments)
        parser.addPositionalArgument(argument.name, argument.description);
    const QString hint = ToolName + QLatin1Char(' ') + command.name;
    if (!parser.parse(QStringList{hint} + arguments))
        return usageError(command.name + QStringLiteral(": ") + parser.errorText(), hint);
    if (parser.isSet(HelpOption)) {
        write(stdout, helpText(parser, usageLine(command)));
        return Ok;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != command.arguments.size()) {
        QStringList names;
        for (const Argument &argument : command.arguments)
            names << argument.name;
        return usageError(QStringLiteral("%1 takes %2").arg(command.name, names.join(QStringLiteral(" and "))), hint);
    }
    return command.run(parser, positional);
}

// --- the commands -----------------------------------------------------------

QString wordUsed(const ReadingOverrides::Word &word, const QString &readingsFile)
{
    return QStringLiteral("read \"%1\" as \"%2\" (%3:%4)").arg(word.text, word.initials, readingsFile).arg(word.line);
}

QString describeUnsettled(QuestionInitials &initials, QStringView characters)
{
    QStringList described;
    for (const QChar character : characters) {
        const char32_t chosen = initials.pinyinInitialOf(character.unicode());
        described << QStringLiteral("%1 (%2; \"%3\" taken)")
                         .arg(character)
                         .arg(SeveralReadings::initialsOf(character.unicode()))
                         .arg(QChar::fromUcs4(chosen));
    }
    return described.join(QStringLiteral(", "));
}

// The initials with the readings file the command was given; null, with
// `error` set, when the file or ICU fails.
std::unique_ptr<QuestionInitials> questionInitials(const QCommandLineParser &parser, QString &error)
{
    ReadingOverrides overrides;
    if (!readOverrides(parser.value(ReadingsOption), overrides, error))
        return nullptr;
    auto initials = std::make_unique<QuestionInitials>(std::move(overrides));
    if (!initials->isValid()) {
        error = initials->errorString();
        return nullptr;
    }
    return initials;
}

// What a maker should know of initials filled in: the chosen readings used,
// when asked, and the characters whose reading nothing chose. `where` leads
// each message.
void reportFilled(const QuestionInitials::Filled &filled, QuestionInitials &initials, const QCommandLineParser &parser,
                  const QString &where, bool showWords)
{
    for (const qsizetype used : filled.usedWords) {
        if (showWords)
            printMessage(where + wordUsed(initials.overrides().words().at(used), parser.value(ReadingsOption)));
    }
    if (!filled.unsettled.isEmpty())
        printMessage(where + QStringLiteral("warning: several readings for %1; add the word to a readings file")
                                 .arg(describeUnsettled(initials, filled.unsettled)));
}

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
    if (plain.size() > BankReader::MaxBytes)
        return fail(QStringLiteral("%1: the bank would be %2 bytes, more than a bank can hold (2147483647)").arg(bank).arg(plain.size()));
    BankFile::cipherInMemory(plain);
    if (!OutputFile::writeWhole(bank, plain, error))
        return fail(error);
    return Ok;
}

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

// Reads a bank, deciphered, and writes what `convert` makes of it.
using Conversion = std::function<bool(const QString &input, const QByteArray &plain, QByteArray &output, QString &error)>;

int convertBank(const QStringList &arguments, const Conversion &convert)
{
    const QString &input = arguments.at(0);
    const QString &output = arguments.at(1);
    if (sameFile(input, output))
        return refuseSameFile(output);
    BankReader reader = toolReader();
    QByteArray plain;
    if (!reader.readPlainBytes(input, plain))
        return fail(reader.errorString());
    QByteArray converted;
    QString error;
    if (!convert(input, plain, converted, error) || !OutputFile::writeWhole(output, converted, error))
        return fail(error);
    return Ok;
}

// encode and decode are one operation: the cipher is its own inverse.
int cipher(const QCommandLineParser &, const QStringList &arguments)
{
    return convertBank(arguments, [](const QString &, const QByteArray &plain, QByteArray &output, QString &) {
        output = plain;
        return true;
    });
}

int exportSource(const QCommandLineParser &, const QStringList &arguments)
{
    QStringList notes;
    const int status = convertBank(arguments, [&](const QString &bank, const QByteArray &plain, QByteArray &source, QString &error) {
        return BankExport::toSource(plain, bank, source, notes, error);
    });
    for (const QString &note : std::as_const(notes))
        printMessage(QStringLiteral("warning: ") + note);
    return status;
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

int search(const QCommandLineParser &parser, const QStringList &arguments)
{
    BankReader reader = toolReader();
    QuestionLines lines;
    if (!reader.readQuestionLines(arguments.at(0), lines))
        return fail(reader.errorString());
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

int check(const QCommandLineParser &, const QStringList &arguments)
{
    BankReader reader = toolReader();
    QByteArray bytes;
    if (!reader.readPlainBytes(arguments.at(0), bytes))
        return fail(reader.errorString());
    const BankReport report = checkPlainBank(bytes);
    printLine(report.toText());
    return report.hasProblems() ? Failed : Ok;
}

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

int diff(const QCommandLineParser &parser, const QStringList &arguments)
{
    QString error;
    BankText older, newer;
    if (!readBankText(arguments.at(0), older, error) || !readBankText(arguments.at(1), newer, error))
        return fail(error);
    const BankDiff changes = BankDiff::between(older, newer);
    if (parser.isSet(JsonOption))
        printJson(diffAsJson(changes));
    else
        printDiff(changes);
    return Ok;
}

} // namespace

int run(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(toolDescription());
    const QCommandLineOption versionOption(QStringLiteral("version"), QStringLiteral("Show the tool's version."));
    parser.addOptions({HelpOption, versionOption});
    parser.addPositionalArgument(QStringLiteral("COMMAND"), QStringLiteral("One of the commands above."));
    parser.addPositionalArgument(QStringLiteral("ARGUMENTS"), QStringLiteral("The command's arguments."), QStringLiteral("[ARGUMENTS...]"));
    // Everything after the command belongs to the command's own parser.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!parser.parse(QStringList{ToolName} + arguments))
        return usageError(parser.errorText(), ToolName);
    if (parser.isSet(HelpOption)) {
        write(stdout, helpText(parser, QStringLiteral("Usage: %1 COMMAND [ARGUMENTS...]").arg(ToolName)));
        return Ok;
    }
    if (parser.isSet(versionOption)) {
        printLine(ToolName + QLatin1Char(' ') + QString::fromLatin1(VellmarVersion));
        return Ok;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return usageError(QStringLiteral("no command given"), ToolName);
    for (const Command &command : commands()) {
        if (command.name == positional.first())
            return runCommand(command, positional.mid(1));
    }
    return usageError(QStringLiteral("unknown command \"%1\"").arg(positional.first()), ToolName);
}

} // namespace BankCommands
