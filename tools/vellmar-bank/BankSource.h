#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// The readable source of a bank: UTF-8 text, LF or CR LF lines, question and
// answer lines alternating.
namespace BankSource {

// Gives the initials for a question line that has no "-": the line and its
// 1-based number in the source. Empty initials leave the line as it is.
using FillInitials = std::function<QString(const QString &question, qsizetype lineNumber)>;

// Turns the source into plain bank text: GBK, CR LF after every line. Question
// lines without "-" get "-" and their initials from `fillInitials`, when given.
// On failure `error` names the source, the line and the column.
bool compile(const QByteArray &utf8, const QString &sourceName, QByteArray &plainBank, QString &error,
             const FillInitials &fillInitials = {});

} // namespace BankSource
