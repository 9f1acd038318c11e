#include "BankExport.h"

#include "BankSource.h"

#include "bank/QuestionLines.h"

namespace BankExport {

bool toSource(const QByteArray &plain, const QString &bankName, QByteArray &source, QStringList &notes, QString &error)
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
    if (!endsWithCrLf)
        notes.append(QStringLiteral("%1: the last line has no CR LF after it; build adds one").arg(bankName));
    if (!withoutDash.isEmpty())
        notes.append(QStringLiteral("%1: %2 question lines without \"-\" (the first on line %3); build fills in their "
                                    "initials unless given --no-initials")
                         .arg(bankName)
                         .arg(withoutDash.size())
                         .arg(withoutDash.first()));
    // Whatever else would not come back is found by building the source as it is.
    QByteArray rebuilt;
    QString buildError;
    if (!BankSource::compile(utf8, bankName, rebuilt, buildError))
        notes.append(QStringLiteral("build will refuse this source: %1").arg(buildError));
    else if (endsWithCrLf && rebuilt != plain)
        notes.append(QStringLiteral("%1: building the source gives other bytes (a CR at the end of a line, or blank "
                                    "lines at the end, are not kept)")
                         .arg(bankName));
    source = std::move(utf8);
    return true;
}

} // namespace BankExport
