#pragma once

#include "bank/BankFailure.h"

#include <QByteArray>
#include <QString>

class QFile;

// An input of the bank's kind: only a regular file of at most
// BankFile::MaxBytes is opened. What the path names is looked at before it
// is opened, so a FIFO never blocks the open and a device is never opened,
// and what was opened is looked at again, in case the path changed in
// between. Nothing is written.
namespace InputFile {

// Opens `path` unbuffered; `size` is the size of what was opened.
bool open(const QString &path, QFile &file, qint64 &size, BankFailure &failure);

// The whole file as it is on disk, never more than its size at the open;
// an empty file is read as empty. Running out of memory is a failure too.
bool readWhole(const QString &path, QByteArray &bytes, BankFailure &failure);

} // namespace InputFile
