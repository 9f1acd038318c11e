#include "BankExport.h"

#include "BankSource.h"

#include "bank/QuestionLines.h"

namespace BankExport {
namespace {

// Where the bank that `source` builds to parts from the bank it came from,
// and why; empty when it is the same bank.
QString whatIsLost(const QByteArray &plain, const QuestionLines &lines, const QByteArray &source, const QString &bankName)
{
    QByteArray rebuilt;
    QString buildError;
    if (!BankSource::compile(source, bankName, rebuilt, buildError))
        return buildError;
    if (rebuilt == plain)
        return {};
    const QuestionLines again = QuestionLines::fromPlainBank(rebuilt);
    qsizetype line = 0;
    while (line < lines.size() && line < again.size() && lines.at(line) == again.at(line))
        ++line;
    if (line == lines.size())
        return QStringLiteral("%1: line %2: the last line has no CR LF after it; build adds one").arg(bankName).arg(line);
    return QStringLiteral("%1: line %2: building the source gives other bytes here (a CR at the end of a line, or blank "
                          "lines at the end, are not kept)")
        .arg(bankName)
        .arg(line + 1);
}

} // namespace

bool toSource(const QByteArray &plain, const QString &bankName, bool lossy, QByteArray &source, QStringList &notes,
              QString &error)
{
    const QuestionLines lines = QuestionLines::fromPlainBank(plain);
    const bool endsWithCrLf = lines.size() > 1 && lines.at(lines.size() - 1).isEmpty();
    const qsizetype lineCount = endsWithCrLf ? lines.size() - 1 : lines.size();
    QByteArray utf8;
    QList<qsizetype> withoutDash;
    for (qsizetype index = 0; index < lineCount; ++index) {
        const QStringView line = lines.at(index);
        const auto fail = [&](const QString &reason) {
            error = QStringLiteral("%1: line %2: %3").arg(bankName).arg(index + 1).arg(reason);
            return false;
        };
        if (lines.hasSubstitutes(index))
            return fail(QStringLiteral("bytes that are not GBK; a source cannot keep them"));
        if (line.contains(QLatin1Char('\n')))
            return fail(QStringLiteral("a lone LF inside the line; in a source it would split the line in two"));
        if (index % 2 == 0 && index + 1 < lineCount && !line.contains(QLatin1Char('-')))
            withoutDash.append(index + 1);
        utf8 += line.toUtf8();
        utf8 += '\n';
    }
    if (!withoutDash.isEmpty())
        notes.append(QStringLiteral("%1: %2 question lines without \"-\" (the first on line %3); build fills in their "
                                    "initials unless given --no-initials")
                         .arg(bankName)
                         .arg(withoutDash.size())
                         .arg(withoutDash.first()));
    // Whatever would not come back is found by building the source as it is.
    if (const QString lost = whatIsLost(plain, lines, utf8, bankName); !lost.isEmpty()) {
        if (!lossy) {
            error = lost + QStringLiteral("; nothing written (export --lossy writes the source all the same)");
            return false;
        }
        notes.append(lost);
    }
    source = std::move(utf8);
    return true;
}

} // namespace BankExport
