#include "CommandOptions.h"

#include <QStringList>

namespace BankCommands {

const QCommandLineOption JsonOption(QStringLiteral("json"), QStringLiteral("Print one JSON value instead of text."));
const QCommandLineOption ReadingsOption(QStringList{QStringLiteral("r"), QStringLiteral("readings")},
                                        QStringLiteral("Words whose readings the makers chose, one \"WORD INITIALS\" a line."),
                                        QStringLiteral("FILE"));
const QCommandLineOption VerboseOption(QStringLiteral("verbose"),
                                       QStringLiteral("Say which chosen readings were used, and where."));
const QCommandLineOption HelpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
const QCommandLineOption NoInitialsOption(QStringLiteral("no-initials"),
                                          QStringLiteral("Keep question lines without \"-\" as they are."));
const QCommandLineOption StrictOption(QStringLiteral("strict"),
                                      QStringLiteral("Fail, writing nothing, when lint finds errors in the source."));
const QCommandLineOption LossyOption(QStringLiteral("lossy"),
                                     QStringLiteral("Write the source even where building it would not give the bank back."));

} // namespace BankCommands
