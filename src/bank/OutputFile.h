#pragma once

#include "bank/BankFailure.h"

#include <QByteArrayView>
#include <QString>

// The bank tool's outputs.
namespace OutputFile {

// Writes `bytes` to `path` through a temporary file in the same folder and a
// rename, so an interruption leaves either the old file or the new one, and
// a failure leaves no temporary file. An output that exists must be a
// regular file (or a symbolic link to one, whose target is replaced and the
// link kept); a device, a FIFO, a folder or any other node is refused and
// left as it is. "-" writes to standard output. On failure `failure` says
// which file and why.
bool writeWhole(const QString &path, QByteArrayView bytes, BankFailure &failure);

} // namespace OutputFile
