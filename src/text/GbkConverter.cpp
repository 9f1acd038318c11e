#include "text/GbkConverter.h"

namespace GbkConverter {
namespace {

constexpr auto CodecName = "GBK";

} // namespace

bool available()
{
    static const bool named = QStringEncoder(CodecName).isValid() && QStringDecoder(CodecName).isValid();
    return named;
}

QStringEncoder encoder(QStringConverter::Flags flags)
{
    return available() ? QStringEncoder(CodecName, flags) : QStringEncoder();
}

QStringDecoder decoder(QStringConverter::Flags flags)
{
    return available() ? QStringDecoder(CodecName, flags) : QStringDecoder();
}

} // namespace GbkConverter
