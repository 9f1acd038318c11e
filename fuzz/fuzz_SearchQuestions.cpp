// A bank and a query made from the input → SearchQuestions, against the
// plain search (one substring test per question line): on one thread, and
// shared by two in chunks and from points that small banks reach; and
// narrowed from a text typed before it.
#include "FuzzCheck.h"
#include "ReferenceSearch.h"

#include "search/SearchQuestions.h"
#include "search/TypedNarrowing.h"

#include <QStringList>

#include <array>

namespace {

// Few pieces, so that queries often occur: letters in both cases, Chinese
// characters, dashes (ASCII and full-width), blanks, digits, CR and LF, and
// a character outside the BMP.
const QStringList Pieces = {
    "a", "b", "c", "A", "B", "中", "国", "首", "都", "-", "－", " ", "1", "\r", "\n", "\r\n", "😀", "ñ",
};

// Bytes up to 0xEF pick a piece; a byte from 0xF0 on takes the next two
// bytes as one UTF-16 code unit, lone surrogates and all.
QString textOf(QByteArrayView bytes)
{
    QString text;
    for (qsizetype at = 0; at < bytes.size(); ++at) {
        const auto byte = std::uint8_t(bytes[at]);
        if (byte < 0xF0) {
            text += Pieces.at(byte % Pieces.size());
        } else if (at + 2 < bytes.size()) {
            text += QChar(char16_t(std::uint8_t(bytes[at + 1]) << 8 | std::uint8_t(bytes[at + 2])));
            at += 2;
        }
    }
    return text;
}

QString describe(const std::optional<SearchResult> &result)
{
    if (!result)
        return QStringLiteral("no result");
    return QStringLiteral("%1 hits [%2] [%3] %4")
        .arg(result->HitCount)
        .arg(result->Questions.join(u'|'), result->Answers.join(u'|'), result->StatusText);
}

} // namespace

// The input is the bank's text, a byte 0xFF, and the query.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = fuzzInput(data, size);
    const qsizetype split = input.indexOf('\xff');
    const QString bank = textOf(QByteArrayView(input).first(split < 0 ? input.size() : split));
    const QString query = split < 0 ? QString() : textOf(QByteArrayView(input).sliced(split + 1));

    const QuestionLines lines = QuestionLines::fromText(bank);
    const std::optional<SearchResult> reference = searchQuestionsReference(lines, query);
    const qsizetype units = lines.text().size();
    // The lead none, a third or half of the bank; chunks of 1, 5 and 64 units.
    const std::array<ScanSplit, 4> splits = {ScanSplit{}, ScanSplit{0, 0, 1}, ScanSplit{units / 3, 0, 5},
                                             ScanSplit{units / 2, 0, 64}};
    for (const ScanSplit &split : splits) {
        const std::optional<SearchResult> fast = SearchQuestions(lines, query, split);
        fuzzCheck(fast == reference, "SearchQuestions gives what the plain search gives",
                  QStringLiteral("query \"%1\", lead %2, split from %3, chunks %4\nfast: %5\nplain: %6")
                      .arg(query)
                      .arg(split.leadUnits)
                      .arg(split.minSplitUnits)
                      .arg(split.chunkUnits)
                      .arg(describe(fast), describe(reference)));
    }
    // Narrowed by the query less its last unit, as typed before it, and by
    // its first two units with a cap of one line, past which the narrowing
    // is dropped.
    const std::array<std::pair<QString, qsizetype>, 2> narrowings = {std::pair(query.chopped(std::min<qsizetype>(query.size(), 1)), units),
                                                                     std::pair(query.first(std::min<qsizetype>(query.size(), 2)), 1)};
    for (const auto &[typedBefore, cap] : narrowings) {
        TypedNarrowing narrowing(lines, cap);
        narrowing.typed(typedBefore);
        narrowing.waitForNarrowing();
        const std::optional<SearchResult> narrowed = narrowing.search(query);
        fuzzCheck(narrowed == reference, "a narrowed search gives what the plain search gives",
                  QStringLiteral("query \"%1\", narrowed by \"%2\" (cap %3)\nnarrowed: %4\nplain: %5")
                      .arg(query, narrowing.narrowedBy())
                      .arg(cap)
                      .arg(describe(narrowed), describe(reference)));
    }
    return 0;
}
