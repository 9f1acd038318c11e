#include "text/CodePage.h"

#include "text/AnsiDecoder.h"
#include "text/GbkConverter.h"
#include "text/GbkTable.h"

#include <optional>

namespace CodePage {
namespace {

QStringEncoder gbkEncoder()
{
    // Stateless, so that a lone surrogate is reported instead of held back.
    return GbkConverter::encoder(QStringConverter::Flag::Stateless);
}

// GBK bytes of one code point, empty when GBK cannot hold it. A fresh
// encoder every time: Qt's keeps reporting an error once it has met one,
// even after resetState(), which would make every later character look
// unencodable too. The code point goes in as its own units: through
// QString::fromUcs4 a U+FEFF would be taken for a byte-order mark and vanish.
QByteArray encodeCodePoint(char32_t codePoint)
{
    if (QChar::isSurrogate(codePoint))
        return {};
    QStringEncoder encoder = gbkEncoder();
    QByteArray bytes = encoder.encode(QStringView(QChar::fromUcs4(codePoint)));
    if (encoder.hasError())
        return {};
    return bytes;
}

// The whole text's GBK bytes when GBK holds all of it, the common case, in one go.
std::optional<QByteArray> encodeWhole(QStringView text)
{
    QStringEncoder encoder = gbkEncoder();
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
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

bool isValidAnsi(QByteArrayView bytes)
{
    // Ended by a line feed, so that a lead byte at the very end counts as invalid too.
    QStringDecoder decoder = GbkConverter::decoder();
    const QString text = decoder.decode(bytes.toByteArray() + '\n');
    return !decoder.hasError();
}

bool gbkAvailable()
{
    return GbkConverter::available();
}

QByteArray toAnsi(QStringView text)
{
    if (std::optional<QByteArray> whole = encodeWhole(text))
        return *std::move(whole);
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    forEachCodePoint(text, [&](char32_t codePoint, qsizetype) {
        const QByteArray encoded = codePoint < 0x80 ? QByteArray(1, char(codePoint)) : encodeCodePoint(codePoint);
        bytes.append(encoded.isEmpty() ? QByteArray("?") : encoded);
        return true;
    });
    return bytes;
}

QString fromAnsi(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size() + 1);
    AnsiDecoder decoder;
    decoder.decode(bytes, text);
    decoder.finish(text);
    text.squeeze();
    return text;
}

qsizetype ansiByteCount(QStringView text)
{
    if (const std::optional<QByteArray> whole = encodeWhole(text))
        return whole->size();
    qsizetype count = 0;
    forEachCodePoint(text, [&](char32_t codePoint, qsizetype) {
        count += codePoint < 0x80 ? 1 : qMax<qsizetype>(1, encodeCodePoint(codePoint).size());
        return true;
    });
    return count;
}

bool findUnencodable(QStringView text, qsizetype *position)
{
    if (encodeWhole(text))
        return false;
    bool found = false;
    forEachCodePoint(text, [&](char32_t codePoint, qsizetype index) {
        if (codePoint < 0x80 || !encodeCodePoint(codePoint).isEmpty())
            return true;
        found = true;
        if (position)
            *position = index;
        return false;
    });
    return found;
}

} // namespace CodePage
