#include "InitialsReport.h"

#include "CommandInputs.h"
#include "CommandOptions.h"
#include "CommandOutput.h"
#include "PinyinDictionary.h"

namespace BankCommands {
namespace {

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
                         .arg(PinyinDictionary::builtIn().severalInitialsOf(character.unicode()))
                         .arg(QChar::fromUcs4(chosen));
    }
    return described.join(QStringLiteral(", "));
}

} // namespace

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

QString severalReadingsWarning(const QuestionInitials::Filled &filled, QuestionInitials &initials)
{
    if (filled.unsettled.isEmpty())
        return {};
    return QStringLiteral("several readings for %1; add the word to a readings file").arg(describeUnsettled(initials, filled.unsettled));
}

void reportFilled(const QuestionInitials::Filled &filled, QuestionInitials &initials, const QCommandLineParser &parser,
                  const QString &where, bool showWords)
{
    for (const qsizetype used : filled.usedWords) {
        if (showWords)
            printMessage(where + wordUsed(initials.overrides().words().at(used), parser.value(ReadingsOption)));
    }
    if (const QString warning = severalReadingsWarning(filled, initials); !warning.isEmpty())
        printMessage(where + QStringLiteral("warning: ") + warning);
}

} // namespace BankCommands
