// vellmar-bench-bank PAIRS BANK: writes the benchmarks' generated bank of
// PAIRS pairs to BANK (unless BANK holds it already), loads it as the window would, and prints its pair
// count and the size of its UTF-16 text in bytes, for the footprint run.

#include "BankGenerator.h"
#include "KeptBankFile.h"
#include "FailureText.h"

#include "bank/BankReader.h"
#include "bank/QuestionLines.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "vellmar-bench-bank: %s\n", qUtf8Printable(message));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    bool isNumber = false;
    const int pairs = arguments.size() == 3 ? arguments.at(1).toInt(&isNumber) : 0;
    if (!isNumber || pairs < 1)
        return fail(QStringLiteral("usage: vellmar-bench-bank PAIRS BANK (PAIRS a whole number of at least 1)"));
    const QString path = arguments.at(2);
    QString error;
    if (!keepBankFile(path, BankGenerator::benchmarkBank(pairs), &error))
        return fail(error);
    QuestionLines lines;
    BankReader reader;
    if (!reader.readQuestionLines(path, lines))
        return fail(failureText(reader.failure()));
    std::printf("%lld %lld\n", static_cast<long long>(lines.pairCount()),
                static_cast<long long>(lines.text().size() * qsizetype(sizeof(char16_t))));
    return 0;
}
