#pragma once

#include <QByteArray>
#include <QString>

// The bank file: GBK text in CR LF lines, enciphered as a whole under a fixed
// key, with no header or checksum. BankReader reads it.
namespace BankFile {

// The key the bank is enciphered with.
inline const QString BankKey = QStringLiteral("5380");

// The bank's path: the program's folder, a separator, "data.dat".
QString DataPath(const QString &programFolder);

// Enciphers or deciphers bank bytes in memory with the bank's key; the
// cipher is its own inverse.
void cipherInMemory(QByteArray &bytes);

// Ciphers the bank file at `path` in place: an enciphered file becomes plain,
// a plain one enciphered. Written safely through OutputFile::writeWhole; on
// failure `error` names the file and the cause, in English, for the tool.
bool JIAMSJXX(const QString &path, QString &error);

} // namespace BankFile
