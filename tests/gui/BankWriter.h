#pragma once

#include "bank/BankFile.h"
#include "text/CodePage.h"

#include <QFile>
#include <QStringList>

// Writes `lines` as a bank file the way the makers ship it: GBK, CR LF, enciphered.
inline bool writeBankFile(const QString &path, const QStringList &lines)
{
    QByteArray bytes = CodePage::toAnsi(lines.join(QStringLiteral("\r\n")));
    BankFile::cipherInMemory(bytes);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
