#pragma once

#include <QByteArray>
#include <QString>

// The system's ANSI code page: GBK (code page 936), whatever the machine's locale.
namespace CodePage {

// False when this Qt build cannot convert GBK. Every other function here relies on it.
bool gbkAvailable();

// Encodes to GBK; a character that GBK cannot hold becomes one '?'.
QByteArray toAnsi(QStringView text);

// Decodes GBK; never fails: invalid byte sequences become substitute characters.
QString fromAnsi(QByteArrayView bytes);

// True when every byte of `bytes` belongs to a GBK character.
bool isValidAnsi(QByteArrayView bytes);

// The length of `text` in GBK bytes: ASCII 1, a Chinese character 2, and a
// character that GBK cannot hold 1 (it would become one substitute byte).
qsizetype ansiByteCount(QStringView text);

// True when `text` holds a character that GBK cannot represent; `position`
// receives the index of the first such character.
bool findUnencodable(QStringView text, qsizetype *position);

} // namespace CodePage
