#include "BenchBanks.h"

#include "BankGenerator.h"
#include "FailureText.h"

#include "bank/BankFile.h"
#include "bank/BankReader.h"

#include <QFile>
#include <QTemporaryDir>

#include <map>
#include <stdexcept>

namespace {

const QTemporaryDir &bankFolder()
{
    static const QTemporaryDir folder;
    if (!folder.isValid())
        throw std::runtime_error("cannot make a temporary folder for the benchmark banks");
    return folder;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write benchmark bank " + path.toStdString());
}

BenchBank makeBank(int pairs)
{
    BenchBank bank;
    bank.path = bankFolder().filePath(QStringLiteral("bank-%1.dat").arg(pairs));
    bank.enciphered = BankGenerator::benchmarkBank(pairs);
    writeFile(bank.path, bank.enciphered);
    BankReader reader;
    if (!reader.readQuestionLines(bank.path, bank.lines))
        throw std::runtime_error(failureText(reader.failure()).toStdString());
    return bank;
}

} // namespace

const BenchBank &benchBank(int pairs)
{
    static std::map<int, BenchBank> banks;
    auto found = banks.find(pairs);
    if (found == banks.end())
        found = banks.emplace(pairs, makeBank(pairs)).first;
    return found->second;
}
