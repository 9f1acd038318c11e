// Plain bank bytes → the bank tool's check (checkBank over the loaded lines), against its
// rules worked out plainly: lines split at CR LF, a fresh GBK converter for
// every line.
#include "FuzzCheck.h"

#include "BankCheck.h"

#include <QStringDecoder>
#include <QStringList>

namespace {

// The bytes of each line, split as text whose characters are the bytes.
QList<QByteArray> bankLines(const QByteArray &plain)
{
    QList<QByteArray> lines;
    for (const QString &line : QString::fromLatin1(plain).split(QStringLiteral("\r\n")))
        lines.append(line.toLatin1());
    return lines;
}

// A lead byte at the end of a line has no trail byte: the line feed after it says so.
bool decodes(const QByteArray &line)
{
    QStringDecoder decoder("GBK");
    const QString text = decoder(line + '\n');
    return !decoder.hasError();
}

BankReport expectedReport(const QByteArray &plain)
{
    const QList<QByteArray> lines = bankLines(plain);
    BankReport report;
    report.lineCount = lines.size();
    report.pairCount = lines.size() / 2;
    if (lines.size() % 2 == 1 && !lines.last().isEmpty())
        report.unpairedLine = lines.size();
    for (qsizetype index = 0; index < lines.size(); ++index) {
        if (index % 2 == 0 && index + 1 < lines.size() && !lines.at(index).contains('-'))
            report.questionsWithoutDash.append(index + 1);
        if (!decodes(lines.at(index)))
            report.undecodableLines.append(index + 1);
    }
    return report;
}

bool sameReport(const BankReport &a, const BankReport &b)
{
    return a.lineCount == b.lineCount && a.pairCount == b.pairCount && a.unpairedLine == b.unpairedLine
        && a.questionsWithoutDash == b.questionsWithoutDash && a.undecodableLines == b.undecodableLines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray plain = fuzzInput(data, size);
    const BankReport report = checkBank(QuestionLines::fromPlainBank(plain));
    const BankReport expected = expectedReport(plain);
    fuzzCheck(sameReport(report, expected), "the check finds what the plain rules find",
              report.toText() + QStringLiteral("\nexpected:\n") + expected.toText());
    fuzzCheck(report.toText().endsWith(report.hasProblems() ? QStringLiteral("problems found") : QStringLiteral("ok")),
              "the report ends with its verdict");
    return 0;
}
