#include "text/GbkConverter.h"

#include "platform/Platform.h"

namespace GbkConverter {
namespace {

constexpr auto CodecName = "GBK";
constexpr unsigned GbkCodePage = 936;

bool qtNamesGbk()
{
    return QStringEncoder(CodecName).isValid() && QStringDecoder(CodecName).isValid();
}

} // namespace

Source sourceFor(bool qtNamesGbk, unsigned ansiCodePage)
{
    if (qtNamesGbk)
        return Source::Named;
    return ansiCodePage == GbkCodePage ? Source::SystemCodePage : Source::None;
}

Source source()
{
    static const Source machine = sourceFor(qtNamesGbk(), Platform::ansiCodePage());
    return machine;
}

QStringEncoder encoder(QStringConverter::Flags flags)
{
    switch (source()) {
    case Source::Named:
        return QStringEncoder(CodecName, flags);
    case Source::SystemCodePage:
        return QStringEncoder(QStringConverter::System, flags);
    case Source::None:
        break;
    }
    return QStringEncoder();
}

QStringDecoder decoder(QStringConverter::Flags flags)
{
    switch (source()) {
    case Source::Named:
        return QStringDecoder(CodecName, flags);
    case Source::SystemCodePage:
        return QStringDecoder(QStringConverter::System, flags);
    case Source::None:
        break;
    }
    return QStringDecoder();
}

} // namespace GbkConverter
