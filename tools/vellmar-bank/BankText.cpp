#include "BankText.h"

#include "BankCheck.h"
#include "BankSource.h"

#include "text/CodePage.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

bool isControlByte(char byte)
{
    const auto unit = static_cast<unsigned char>(byte);
    return (unit < 0x20 && byte != '\t' && byte != '\r' && byte != '\n') || unit == 0x7F;
}

} // namespace

bool BankText::isSource(const QByteArray &bytes)
{
    if (std::any_of(bytes.begin(), bytes.end(), isControlByte))
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes); // decoding is lazy until assigned
    return !decoder.hasError();
}

BankText BankText::fromSource(const QByteArray &utf8)
{
    BankText source;
    source.kind = Kind::Source;
    QList<QByteArray> rawLines = utf8.split('\n');
    if (!rawLines.isEmpty() && rawLines.last().isEmpty())
        rawLines.removeLast(); // the LF that ends the last line
    QStringList texts;
    for (qsizetype index = 0; index < rawLines.size(); ++index) {
        QByteArray raw = rawLines.at(index);
        if (raw.endsWith('\r'))
            raw.chop(1);
        if (index == 0 && raw.startsWith("\xEF\xBB\xBF"))
            raw.remove(0, 3); // a byte-order mark some editors add
        QStringDecoder decoder(QStringDecoder::Utf8);
        Line line{decoder.decode(raw), index + 1, false};
        line.invalidBytes = decoder.hasError();
        texts.append(line.text);
        source.lines.append(std::move(line));
    }
    const qsizetype kept = BankSource::linesBeforeTrailingBlanks(texts);
    if (kept < source.lines.size()) {
        source.trailingBlankLine = kept + 1;
        source.lines.resize(kept);
    }
    return source;
}

BankText BankText::fromPlainBank(const QByteArray &plain)
{
    BankText bank;
    bank.kind = Kind::Bank;
    const QList<QByteArrayView> rawLines = splitPlainLines(plain);
    for (qsizetype index = 0; index < rawLines.size(); ++index) {
        const QByteArrayView raw = rawLines.at(index);
        bank.lines.append({CodePage::fromAnsi(raw), index + 1, !CodePage::isValidAnsi(raw)});
    }
    // A CR LF after the last answer leaves an empty line that no pair holds.
    if (bank.lines.size() % 2 != 0 && bank.lines.last().text.isEmpty())
        bank.lines.removeLast();
    return bank;
}
