#include "bank/BankFile.h"

#include "bank/BankReader.h"
#include "bank/OutputFile.h"
#include "cipher/MRC4.h"

namespace BankFile {

QString DataPath(const QString &programFolder)
{
    return programFolder + QLatin1Char('/') + QStringLiteral("data.dat");
}

void cipherInMemory(QByteArray &bytes)
{
    MRC4::CryptBytes({reinterpret_cast<std::uint8_t *>(bytes.data()), size_t(bytes.size())}, BankKey);
}

bool JIAMSJXX(const QString &path, QString &error)
{
    BankReader reader(BankReader::Language::English);
    QByteArray DataBytes;
    if (!reader.readPlainBytes(path, DataBytes)) {
        error = reader.errorString();
        return false;
    }
    return OutputFile::writeWhole(path, DataBytes, error);
}

} // namespace BankFile
