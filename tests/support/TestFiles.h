#pragma once

#include <QByteArray>
#include <QString>

// The whole file, or nothing when it cannot be read.
QByteArray readFile(const QString &path);

// Writes the file whole; a failure fails the calling test.
void writeFile(const QString &path, const QByteArray &bytes);
