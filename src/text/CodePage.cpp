#include "text/CodePage.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace CodePage {
namespace {

constexpr auto CodecName = "GBK";

QStringEncoder gbkEncoder()
{
    // Stateless, so that a lone surrogate is reported instead of held back.
    return QStringEncoder(CodecName, QStringConverter::Flag::Stateless);
}

// GBK bytes of one code point, empty when GBK cannot hold it.
QByteArray encodeCodePoint(QStringEncoder &encoder, char32_t codePoint)
{
    if (QChar::isSurrogate(codePoint))
        return {};
    const QString character = QString::fromUcs4(&codePoint, 1);
    encoder.resetState();
    QByteArray bytes = encoder.encode(character);
    if (encoder.hasError())
        return {};
    return bytes;
}

bool hasSurrogates(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar unit) { return unit.isSurrogate(); });
}

template<typename Visit>
void forEachCodePoint(QStringView text, Visit visit)
{
    for (qsizetype index = 0; index < text.size();) {
        const QChar unit = text.at(index);
        char32_t codePoint = unit.unicode();
        qsizetype width = 1;
        if (unit.isHighSurrogate() && index + 1 < text.size() && text.at(index + 1).isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(unit, text.at(index + 1));
            width = 2;
        }
        if (!visit(codePoint, index))
            return;
        index += width;
    }
}

} // namespace

void requireGbk()
{
    if (!QStringEncoder(CodecName).isValid() || !QStringDecoder(CodecName).isValid())
        throw Unavailable("this Qt build has no GBK (code page 936) converter");
}

QByteArray toAnsi(QStringView text)
{
    QStringEncoder encoder = gbkEncoder();
    if (!hasSurrogates(text)) {
        // Whole texts in one go; code point by code point only when GBK cannot hold everything.
        QByteArray bytes = encoder.encode(text);
        if (!encoder.hasError())
            return bytes;
    }
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    forEachCodePoint(text, [&](char32_t codePoint, qsizetype) {
        if (codePoint < 0x80) {
            bytes.append(static_cast<char>(codePoint));
            return true;
        }
        const QByteArray encoded = encodeCodePoint(encoder, codePoint);
        bytes.append(encoded.isEmpty() ? QByteArray("?") : encoded);
        return true;
    });
    return bytes;
}

QString fromAnsi(QByteArrayView bytes)
{
    QStringDecoder decoder(CodecName);
    return decoder.decode(bytes);
}

qsizetype ansiByteCount(QStringView text)
{
    qsizetype count = 0;
    QStringEncoder encoder = gbkEncoder();
    forEachCodePoint(text, [&](char32_t codePoint, qsizetype) {
        count += codePoint < 0x80 ? 1 : qMax<qsizetype>(1, encodeCodePoint(encoder, codePoint).size());
        return true;
    });
    return count;
}

bool findUnencodable(QStringView text, qsizetype *position)
{
    bool found = false;
    QStringEncoder encoder = gbkEncoder();
    forEachCodePoint(text, [&](char32_t codePoint, qsizetype index) {
        if (codePoint < 0x80 || !encodeCodePoint(encoder, codePoint).isEmpty())
            return true;
        found = true;
        if (position)
            *position = index;
        return false;
    });
    return found;
}

} // namespace CodePage
