#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The whole file, or nothing when it cannot be read.
QByteArray readFile(const QString &path);

// Writes the file whole; a failure fails the calling test.
void writeFile(const QString &path, const QByteArray &bytes);

// Everything in the folder, hidden and special files included: a temporary
// file left behind shows here.
QStringList entriesOf(const QString &folder);

// Lets other users pass through the folder (mode 0711), so that a test that
// reads as another user meets the permissions of the files inside it.
void letOthersEnter(const QString &folder);
