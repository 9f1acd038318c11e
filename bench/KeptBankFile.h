#pragma once

#include <QByteArray>
#include <QString>

// Writes `bytes` to `path` unless the file there already holds exactly them,
// so that the large generated banks are written to disk once, not every run.
// On failure, `error` names the file and the cause.
bool keepBankFile(const QString &path, const QByteArray &bytes, QString *error);
