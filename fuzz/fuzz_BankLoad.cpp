// Bank file bytes → the window's load (BankReader::readQuestionLines, read
// from a real file in pieces), against the plain load: RC4, Qt's GBK
// converter with the trailing-lead-byte rule, split at CR LF. Once more with
// checkpoints of the keystream every KiB, so that the load runs in two
// stretches on two threads, the second thread beginning none, one, two or
// all of its groups and the first taking back the rest, against one
// decoder's text and line starts.
#include "FuzzCheck.h"
#include "ReferenceLoad.h"
#include "TestBanks.h"

#include "bank/BankFile.h"
#include "bank/BankReader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

namespace {

QString bankPath()
{
    // In memory where the system offers it: the load reads a file every run.
    static const QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/vellmar-fuzz-XXXXXX")
                                                                               : QDir::tempPath() + QStringLiteral("/vellmar-fuzz-XXXXXX"));
    return BankFile::DataPath(dir.path());
}

const KeystreamCheckpoints &closeCheckpoints()
{
    static const std::vector<Rc4State> states = KeystreamCheckpoints::compute(BankFile::BankKey, 1024, 64);
    static const KeystreamCheckpoints checkpoints(1024, states);
    return checkpoints;
}

void checkLoadInTwoStretches(const QByteArray &bank, const QString &path)
{
    QuestionLines lines;
    BankReader reader(closeCheckpoints());
    if (bank.size() % 4 < 3)
        reader.limitSecondThread(int(bank.size() % 4));
    fuzzCheck(reader.readQuestionLines(path, lines), "a bank of any bytes loads in two stretches", path);
    QByteArray plain = bank;
    BankFile::cipherInMemory(plain);
    const QuestionLines expected = QuestionLines::fromPlainBank(plain);
    fuzzCheck(lines.text() == expected.text(), "the text of two stretches is one decoder's", path);
    fuzzCheck(std::ranges::equal(lines.lineStarts(), expected.lineStarts()), "the line starts of two stretches are one decoder's",
              QStringLiteral("%1 lines, expected %2").arg(lines.size()).arg(expected.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bank = fuzzInput(data, size);
    const QString path = bankPath();
    QFile file(path);
    fuzzCheck(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bank) == bank.size(), "bank file written",
              file.errorString());
    file.close();

    QuestionLines lines;
    BankReader reader;
    const bool loaded = reader.readQuestionLines(path, lines);
    if (bank.isEmpty()) {
        fuzzCheck(!loaded && reader.failure().kind == BankFailure::Kind::Empty, "an empty bank is refused", path);
        return 0;
    }
    fuzzCheck(loaded, "a bank of any bytes loads", path);
    const QStringList expected = referenceBankLines(bank);
    const QStringList actual = linesOf(lines);
    fuzzCheck(actual == expected, "the lines are those of the plain load",
              QStringLiteral("%1 lines, expected %2").arg(actual.size()).arg(expected.size()));
    checkLoadInTwoStretches(bank, path);
    return 0;
}
