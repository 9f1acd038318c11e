#include "BankSource.h"

#include "BankText.h"

#include "text/CodePage.h"

#include <QStringList>

namespace BankSource {
namespace {

char32_t codePointAt(QStringView text, qsizetype position)
{
    const QChar unit = text.at(position);
    if (unit.isHighSurrogate() && position + 1 < text.size() && text.at(position + 1).isLowSurrogate())
        return QChar::surrogateToUcs4(unit, text.at(position + 1));
    return unit.unicode();
}

// Columns count characters, not UTF-16 units, so an emoji is one column.
qsizetype columnOf(QStringView text, qsizetype position)
{
    return text.first(position).toUcs4().size() + 1;
}

QString describeCharacter(QStringView text, qsizetype position)
{
    const char32_t codePoint = codePointAt(text, position);
    return QStringLiteral("'%1' (U+%2)")
        .arg(QString::fromUcs4(&codePoint, 1), QString::number(uint(codePoint), 16).toUpper().rightJustified(4, QLatin1Char('0')));
}

QString withInitials(const QString &line, qsizetype lineNumber, const FillInitials &fillInitials)
{
    if (!fillInitials || line.contains(QLatin1Char('-')))
        return line;
    const QString initials = fillInitials(line, lineNumber);
    return initials.isEmpty() ? line : line + QLatin1Char('-') + initials;
}

} // namespace

bool compile(const QByteArray &utf8, const QString &sourceName, QByteArray &plainBank, QString &error,
             const FillInitials &fillInitials)
{
    const auto fail = [&](const QString &message) {
        error = sourceName + QStringLiteral(": ") + message;
        return false;
    };

    const BankText source = BankText::fromSource(utf8);
    QStringList lines;
    for (const BankText::Line &line : source.lines) {
        if (line.invalidBytes)
            return fail(QStringLiteral("line %1: not valid UTF-8").arg(line.number));
        lines.append(line.text);
    }
    if (lines.isEmpty())
        return fail(QStringLiteral("no lines: a bank needs at least one question and its answer"));
    for (qsizetype index = 0; index < lines.size(); index += 2) {
        if (BankText::isBlank(lines.at(index)))
            return fail(QStringLiteral("line %1: blank line where a question belongs; every question after it would "
                                       "become an answer (remove the line)")
                            .arg(index + 1));
    }
    if (lines.size() % 2 != 0)
        return fail(QStringLiteral("line %1: question without an answer (the source has an odd number of lines, %2)")
                        .arg(lines.size())
                        .arg(lines.size()));

    QByteArray bank;
    for (qsizetype index = 0; index < lines.size(); ++index) {
        const QString line = index % 2 == 0 ? withInitials(lines.at(index), index + 1, fillInitials) : lines.at(index);
        qsizetype position = 0;
        if (CodePage::findUnencodable(line, &position)) {
            return fail(QStringLiteral("line %1, column %2: character %3 cannot be written in GBK")
                            .arg(index + 1)
                            .arg(columnOf(line, position))
                            .arg(describeCharacter(line, position)));
        }
        bank += CodePage::toAnsi(line);
        bank += "\r\n";
    }
    plainBank = std::move(bank);
    return true;
}

} // namespace BankSource
