#pragma once

#include <QByteArray>
#include <QString>

// The readable source of a bank: UTF-8 text, LF or CR LF lines, question and
// answer lines alternating.
namespace BankSource {

// Turns the source into plain bank text: GBK, CR LF after every line.
// On failure `error` names the source, the line and the column.
bool compile(const QByteArray &utf8, const QString &sourceName, QByteArray &plainBank, QString &error);

} // namespace BankSource
