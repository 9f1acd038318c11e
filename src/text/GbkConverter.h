#pragma once

#include <QStringDecoder>
#include <QStringEncoder>

// Qt's converter for GBK (code page 936). Qt names it where it was built
// with ICU. A Qt without ICU, as usual on Windows, names no GBK, but its
// converter for the system's code page serves where that code page is 936.
namespace GbkConverter {

enum class Source
{
    Named,          // Qt's converter named "GBK"
    SystemCodePage, // Qt's converter for the system's ANSI code page
    None,           // no converter for GBK
};

// Which converter serves, given whether Qt names GBK and the system's ANSI
// code page (0 where the system has none).
Source sourceFor(bool qtNamesGbk, unsigned ansiCodePage);

// The converter of this machine, asked once.
Source source();

// Converters from source(); invalid ones where it is None.
QStringEncoder encoder(QStringConverter::Flags flags = QStringConverter::Flag::Default);
QStringDecoder decoder(QStringConverter::Flags flags = QStringConverter::Flag::Default);

} // namespace GbkConverter
