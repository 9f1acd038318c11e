// Source bytes → the bank tool's source reader (BankSource::compile, without
// initials to fill in), against its rules worked out plainly: UTF-8 lines,
// LF or CR LF, blank lines at the end left out, no blank line where a
// question belongs, in pairs, every character in GBK; the bank is the lines
// in GBK with CR LF after each. The first character GBK lacks is found with a
// fresh converter per character.
#include "FuzzCheck.h"
#include "ReferenceLoad.h"

#include "BankSource.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

#include <optional>

namespace {

const QString SourceName = QStringLiteral("source.txt");

std::optional<int> firstBadUtf8Line(const QByteArray &utf8)
{
    const QList<QByteArray> lines = utf8.split('\n');
    for (int index = 0; index < lines.size(); ++index) {
        // A character cut off at the end is as wrong as any other bad byte.
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = decoder(lines.at(index));
        if (decoder.hasError())
            return index + 1;
    }
    return std::nullopt;
}

bool isBlank(const QString &line)
{
    return line.trimmed().isEmpty();
}

QStringList sourceLines(const QByteArray &utf8)
{
    // One byte-order mark at the start is dropped; any further U+FEFF is text.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder(utf8);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QStringList lines = text.split(u'\n');
    if (lines.last().isEmpty())
        lines.removeLast();
    for (QString &line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    // Trailing blank lines go, but one that stands as the last question's answer stays.
    qsizetype kept = lines.size();
    while (kept > 0 && isBlank(lines.at(kept - 1)))
        --kept;
    if (kept < lines.size() && kept % 2 == 1)
        ++kept;
    return lines.first(kept);
}

bool inGbk(const QString &text)
{
    QStringEncoder encoder("GBK");
    const QByteArray bytes = encoder(text);
    return !encoder.hasError();
}

// "line L, column C" of the first character GBK lacks, columns counted in characters.
std::optional<QString> firstUnencodable(const QStringList &lines)
{
    for (int index = 0; index < lines.size(); ++index) {
        const QList<uint> characters = lines.at(index).toUcs4();
        for (int column = 0; column < characters.size(); ++column) {
            // Not QString::fromUcs4, which takes a leading U+FEFF for a byte-order mark and drops it.
            if (!inGbk(QStringView(QChar::fromUcs4(characters.at(column))).toString()))
                return QStringLiteral("line %1, column %2: character").arg(index + 1).arg(column + 1);
        }
    }
    return std::nullopt;
}

// What the refusal of the source must say, or nothing when it is good.
std::optional<QString> expectedRefusal(const QByteArray &utf8, const QStringList &lines)
{
    if (const std::optional<int> line = firstBadUtf8Line(utf8))
        return QStringLiteral("line %1: not valid UTF-8").arg(*line);
    if (lines.isEmpty())
        return QStringLiteral("no lines");
    for (qsizetype index = 0; index < lines.size(); index += 2) {
        if (isBlank(lines.at(index)))
            return QStringLiteral("line %1: blank line where a question belongs").arg(index + 1);
    }
    if (lines.size() % 2 != 0)
        return QStringLiteral("line %1: question without an answer").arg(lines.size());
    return firstUnencodable(lines);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray utf8 = fuzzInput(data, size);
    QByteArray plain;
    QString error;
    const bool compiled = BankSource::compile(utf8, SourceName, plain, error);

    const QStringList lines = sourceLines(utf8);
    if (const std::optional<QString> refusal = expectedRefusal(utf8, lines)) {
        fuzzCheck(!compiled, "the source is refused", *refusal);
        fuzzCheck(error.startsWith(SourceName + QStringLiteral(": ")) && error.contains(*refusal), "the refusal names the place",
                  error + QStringLiteral("\nexpected: ") + *refusal);
        return 0;
    }
    fuzzCheck(compiled, "a good source compiles", error);
    const QString text = lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    fuzzCheck(plain == QStringEncoder("GBK")(text), "the bank is the lines in GBK, CR LF after each");
    fuzzCheck(referenceGbkText(plain) == text, "the bank reads back as the source's lines");
    return 0;
}
