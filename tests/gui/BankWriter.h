#pragma once

#include "bank/BankFile.h"
#include "cipher/MRC4.h"
#include "text/CodePage.h"

#include <QFile>
#include <QStringList>

// Writes `lines` as a bank file the way the makers ship it: GBK, CR LF, enciphered.
inline bool writeBankFile(const QString &path, const QStringList &lines)
{
    QByteArray bytes = CodePage::toAnsi(lines.join(QStringLiteral("\r\n")));
    MRC4::CryptBytes({reinterpret_cast<std::uint8_t *>(bytes.data()), size_t(bytes.size())}, BankFile::BankKey);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
