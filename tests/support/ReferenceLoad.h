#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

// The plain bank load the fast one is checked against: a textbook RC4, Qt's
// own GBK converter, QString::split at CR LF.

// Qt's converter drops a lead byte at the very end of its input; ended by a
// line feed (never a trail byte), it gives a substitute for it instead.
QString referenceGbkText(QByteArrayView bytes);

// The lines of a bank file's bytes.
QStringList referenceBankLines(const QByteArray &fileBytes);
