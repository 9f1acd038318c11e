#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// A bank back as the source build reads: UTF-8, LF after every line.
namespace BankExport {

// Fails, naming the line, when the bank holds what a source cannot: bytes
// that are not GBK, or a lone LF inside a line; and, unless `lossy`, where
// building the source would not give the same bank bytes back (with
// --no-initials), which `notes` then says instead.
bool toSource(const QByteArray &plain, const QString &bankName, bool lossy, QByteArray &source, QStringList &notes,
              QString &error);

} // namespace BankExport
