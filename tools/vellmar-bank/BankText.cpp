#include "BankText.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

bool isControlByte(char byte)
{
    const auto unit = static_cast<unsigned char>(byte);
    return (unit < 0x20 && byte != '\t' && byte != '\r' && byte != '\n') || unit == 0x7F;
}

// Blank lines at the end shift no pair, so they are left out: all of them
// when the first stands where a question would, all after it when it is the
// last question's (empty) answer.
qsizetype linesBeforeTrailingBlanks(const QList<BankText::Line> &lines)
{
    qsizetype end = lines.size();
    while (end > 0 && BankText::isBlank(lines.at(end - 1).text))
        --end;
    const bool firstBlankIsAnAnswer = end < lines.size() && end % 2 == 1;
    return firstBlankIsAnAnswer ? end + 1 : end;
}

} // namespace

bool BankText::isBlank(QStringView line)
{
    return line.trimmed().isEmpty();
}

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
    for (qsizetype index = 0; index < rawLines.size(); ++index) {
        QByteArray raw = rawLines.at(index);
        if (raw.endsWith('\r'))
            raw.chop(1);
        if (index == 0 && raw.startsWith("\xEF\xBB\xBF"))
            raw.remove(0, 3); // a byte-order mark some editors add
        // Stateless, so that a character cut off at the line's end is an error,
        // not dropped; a U+FEFF that begins a later line is text, kept.
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        Line line{decoder.decode(raw), index + 1, false};
        line.invalidBytes = decoder.hasError();
        source.lines.append(std::move(line));
    }
    const qsizetype kept = linesBeforeTrailingBlanks(source.lines);
    if (kept < source.lines.size()) {
        source.trailingBlankLine = kept + 1;
        source.lines.resize(kept);
    }
    return source;
}

BankText BankText::fromBank(const QuestionLines &lines)
{
    BankText bank;
    bank.kind = Kind::Bank;
    bank.lines.reserve(lines.size());
    for (qsizetype index = 0; index < lines.size(); ++index)
        bank.lines.append({lines.at(index).toString(), index + 1, lines.hasSubstitutes(index)});
    // A CR LF after the last answer leaves an empty line that no pair holds.
    if (bank.lines.size() % 2 != 0 && bank.lines.last().text.isEmpty())
        bank.lines.removeLast();
    return bank;
}
