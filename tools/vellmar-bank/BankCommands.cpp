#include "BankCommands.h"

#include "CommandOptions.h"
#include "CommandOutput.h"
#include "Commands.h"
#include "Version.h"

#include <functional>

namespace BankCommands {
namespace {

struct Argument
{
    QString name;
    QString description;
    bool repeats = false; // the last argument may come once or more
};

struct Command
{
    QString name;
    QString summary;
    QList<Argument> arguments;
    QList<QCommandLineOption> options;
    std::function<int(const QCommandLineParser &parser, const QStringList &arguments)> run;
    // The last argument is everything after the others, options or not, as
    // one text: a query may begin with "-".
    bool lastTakesTheRest = false;
};

const QList<Command> &commands()
{
    static const QList<Command> table = {
        {QStringLiteral("build"), QStringLiteral("Make an enciphered bank from a UTF-8 source, filling in initials."),
         {{QStringLiteral("SOURCE"), QStringLiteral("UTF-8 text, LF or CR LF lines, questions and answers alternating.")},
          {QStringLiteral("BANK"), QStringLiteral("The bank to write: GBK, CR LF lines, enciphered.")}},
         {ReadingsOption, VerboseOption, NoInitialsOption, StrictOption}, build},
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
         {LossyOption}, exportSource},
        {QStringLiteral("search"), QStringLiteral("Search a bank as the window does."),
         {{QStringLiteral("BANK"), QStringLiteral("The enciphered bank.")}, {QStringLiteral("QUERY"), QStringLiteral("What a player types.")}},
         {JsonOption}, search, true},
        {QStringLiteral("check"), QStringLiteral("Report a bank's lines, pairs and problems of shape."),
         {{QStringLiteral("BANK"), QStringLiteral("The enciphered bank.")}}, {}, check},
        {QStringLiteral("lint"), QStringLiteral("Find what players would report: repeated, wrong and unfindable questions."),
         {{QStringLiteral("FILE"), QStringLiteral("A source or an enciphered bank.")}}, {JsonOption, ReadingsOption}, lint},
        {QStringLiteral("diff"), QStringLiteral("List the pairs added, removed and changed between two versions."),
         {{QStringLiteral("OLD"), QStringLiteral("The older source or bank.")}, {QStringLiteral("NEW"), QStringLiteral("The newer one.")}},
         {JsonOption}, diff},
        {QStringLiteral("recognise"), QStringLiteral("Read questions off pictures as the window does, and rank the bank's."),
         {{QStringLiteral("BANK"), QStringLiteral("The enciphered bank.")},
          {QStringLiteral("IMAGE"), QStringLiteral("A picture of a question (PNG, JPEG, ...)."), true}},
         {JsonOption}, recognise},
    };
    return table;
}

QString usageLine(const Command &command)
{
    QStringList words{ToolName, command.name};
    if (!command.options.isEmpty())
        words << QStringLiteral("[options]");
    for (const Argument &argument : command.arguments)
        words << argument.name + (argument.repeats ? QStringLiteral("...") : QString());
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

// The arguments after the first `count` - 1 joined into one; a "--" that
// leads them only marks where they begin.
QStringList withTheRestAsOne(const QStringList &positional, qsizetype count)
{
    const qsizetype fixed = count - 1;
    if (positional.size() <= fixed)
        return positional;
    QStringList rest = positional.mid(fixed);
    if (rest.first() == QLatin1String("--"))
        rest.removeFirst();
    if (rest.isEmpty())
        return positional.first(fixed);
    return positional.first(fixed) << rest.join(QLatin1Char(' '));
}

int runCommand(const Command &command, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(command.summary);
    parser.addOption(HelpOption);
    parser.addOptions(command.options);
    for (const Argument &argument : command.arguments)
        parser.addPositionalArgument(argument.name, argument.description,
                                     argument.repeats ? argument.name + QStringLiteral("...") : QString());
    if (command.lastTakesTheRest)
        parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QString hint = ToolName + QLatin1Char(' ') + command.name;
    if (!parser.parse(QStringList{hint} + arguments))
        return usageError(command.name + QStringLiteral(": ") + parser.errorText(), hint);
    if (parser.isSet(HelpOption)) {
        write(stdout, helpText(parser, usageLine(command)));
        return Ok;
    }
    QStringList positional = parser.positionalArguments();
    if (command.lastTakesTheRest)
        positional = withTheRestAsOne(positional, command.arguments.size());
    const bool repeats = !command.arguments.isEmpty() && command.arguments.back().repeats;
    if (positional.size() != command.arguments.size() && !(repeats && positional.size() > command.arguments.size())) {
        QStringList names;
        for (const Argument &argument : command.arguments)
            names << argument.name + (argument.repeats ? QStringLiteral("...") : QString());
        return usageError(QStringLiteral("%1 takes %2").arg(command.name, names.join(QStringLiteral(" and "))), hint);
    }
    return command.run(parser, positional);
}

int runTool(const QStringList &arguments)
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

} // namespace

int run(const QStringList &arguments)
{
    return finishStandardOutput(runTool(arguments));
}

} // namespace BankCommands
