#include "bank/BankFile.h"

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

} // namespace BankFile
