#pragma once

#include <QByteArray>
#include <QString>

// The bank file: GBK text in CR LF lines, enciphered as a whole under a fixed
// key, with no header or checksum. BankReader reads it, BankWriter writes it.
namespace BankFile {

// The key the bank is enciphered with.
inline const QString BankKey = QStringLiteral("5380");

// The largest bank: its length is a signed 32-bit count.
inline constexpr qint64 MaxBytes = 0x7fffffff;

// The bank's path: the program's folder, a separator, "data.dat".
QString DataPath(const QString &programFolder);

// Enciphers or deciphers bank bytes in memory with the bank's key; the
// cipher is its own inverse.
void cipherInMemory(QByteArray &bytes);

} // namespace BankFile
