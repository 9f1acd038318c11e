#include "BenchBanks.h"

#include "BankGenerator.h"
#include "KeptBankFile.h"
#include "FailureText.h"

#include "bank/BankFile.h"
#include "bank/BankReader.h"

#include <map>
#include <stdexcept>

namespace {

BenchBank makeBank(int pairs)
{
    BenchBank bank;
    bank.path = QStringLiteral(VELLMAR_BENCH_BANK_FOLDER "/bank-%1.dat").arg(pairs);
    bank.enciphered = BankGenerator::benchmarkBank(pairs);
    QString error;
    if (!keepBankFile(bank.path, bank.enciphered, &error))
        throw std::runtime_error(error.toStdString());
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
