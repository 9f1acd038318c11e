#pragma once

#include <QByteArrayView>
#include <QString>

// The bank tool's outputs.
namespace OutputFile {

// Writes `bytes` to `path` through a temporary file in the same folder and a
// rename, so an interruption leaves either the old file or the new one, and
// a failure leaves no temporary file. On failure `error` names the file and
// the cause, in English.
bool writeWhole(const QString &path, QByteArrayView bytes, QString &error);

} // namespace OutputFile
