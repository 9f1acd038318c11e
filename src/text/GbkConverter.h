#pragma once

#include <QStringDecoder>
#include <QStringEncoder>

// Qt's converter for GBK (code page 936), which Qt names where it was built
// with ICU, as Debian's is.
namespace GbkConverter {

// True when this Qt has the converter, asked once.
bool available();

// The converters; invalid ones where Qt has none.
QStringEncoder encoder(QStringConverter::Flags flags = QStringConverter::Flag::Default);
QStringDecoder decoder(QStringConverter::Flags flags = QStringConverter::Flag::Default);

} // namespace GbkConverter
