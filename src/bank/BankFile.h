#pragma once

#include "bank/QuestionLines.h"

#include <QByteArray>
#include <QString>

// The bank file: GBK text in CR LF lines, enciphered as a whole under a fixed
// key. Loading reads it and deciphers in memory; it never writes the file.
namespace BankFile {

// The key the bank is enciphered with.
inline const QString BankKey = QStringLiteral("5380");

// The bank's path: the program's folder, a separator, "data.dat".
QString DataPath(const QString &programFolder);

// Reads the whole file into DataBytes. A missing, empty or unreadable file is
// an error whose message (in Chinese, for the window) names the path and cause.
bool readDataBytes(const QString &path, QByteArray &DataBytes, QString *error);

// The whole load: read, decipher, decode, split. The file is left as it was.
bool loadQuestionLines(const QString &path, QuestionLines &lines, QString *error);

// Enciphers or deciphers bank bytes in memory with the bank's key; the
// cipher is its own inverse.
void cipherInMemory(QByteArray &bytes);

// Writes `bytes` to `path` through a temporary file in the same folder and a
// rename, so an interruption leaves either the old file or the new one.
bool writeWhole(const QString &path, const QByteArray &bytes, QString *error);

// Ciphers the bank file at `path` in place: an enciphered file becomes plain,
// a plain one enciphered. Written safely through writeWhole.
bool JIAMSJXX(const QString &path, QString *error);

} // namespace BankFile
