#include "search/TolerantText.h"

#include <QChar>

#include <algorithm>
#include <array>
#include <vector>

namespace {

// What one BMP unit becomes. Most units map to at most one unit on their own;
// those that do not (a decomposition into several letters, a mark that may
// compose with its neighbour, a surrogate, a Hangul jamo) send the whole text
// the slow way through QString::normalized.
constexpr char16_t Dropped = 0;
constexpr char16_t NeedsWholeText = 0xFFFF;

bool mayComposeWithNeighbours(char16_t unit)
{
    const QChar c(unit);
    return c.isSurrogate() || c.combiningClass() != 0 || c.isMark() || (unit >= 0x1100 && unit <= 0x11FF)
        || (unit >= 0xA960 && unit <= 0xA97F) || (unit >= 0xD7B0 && unit <= 0xD7FF);
}

// Letters and digits of an NFKC text, case-folded.
void keepLettersAndDigits(QStringView normalized, QString &out)
{
    for (qsizetype i = 0; i < normalized.size(); ++i) {
        char32_t point = normalized[i].unicode();
        qsizetype units = 1;
        if (QChar::isHighSurrogate(point) && i + 1 < normalized.size() && normalized[i + 1].isLowSurrogate()) {
            point = QChar::surrogateToUcs4(normalized[i], normalized[i + 1]);
            units = 2;
        }
        if (QChar::isLetterOrNumber(point)) {
            const char32_t folded = QChar::toCaseFolded(point);
            if (QChar::requiresSurrogates(folded)) {
                out.append(QChar(QChar::highSurrogate(folded)));
                out.append(QChar(QChar::lowSurrogate(folded)));
            } else {
                out.append(QChar(char16_t(folded)));
            }
        }
        i += units - 1;
    }
}

std::array<char16_t, 0x10000> buildUnitTable()
{
    std::array<char16_t, 0x10000> table{};
    QString kept;
    for (char32_t unit = 0; unit < 0x10000; ++unit) {
        const char16_t u = char16_t(unit);
        if (mayComposeWithNeighbours(u)) {
            table[unit] = NeedsWholeText;
            continue;
        }
        kept.resize(0);
        const QChar c(u);
        // NFKC leaves the CJK ideographs and the ASCII letters and digits as they are.
        if (c.isLetterOrNumber() && c.decompositionTag() == QChar::NoDecomposition)
            keepLettersAndDigits(QStringView(&u, 1), kept);
        else if (c.decompositionTag() != QChar::NoDecomposition)
            keepLettersAndDigits(QString(c).normalized(QString::NormalizationForm_KC), kept);
        if (kept.size() > 1)
            table[unit] = NeedsWholeText;
        else
            table[unit] = kept.isEmpty() ? Dropped : kept[0].unicode();
    }
    return table;
}

const std::array<char16_t, 0x10000> &unitTable()
{
    static const std::array<char16_t, 0x10000> table = buildUnitTable();
    return table;
}

} // namespace

void tolerantTextInto(QStringView text, QString &out)
{
    const std::array<char16_t, 0x10000> &table = unitTable();
    out.resize(0);
    for (const QChar c : text) {
        const char16_t mapped = table[c.unicode()];
        if (mapped == NeedsWholeText) {
            out.resize(0);
            keepLettersAndDigits(text.toString().normalized(QString::NormalizationForm_KC), out);
            return;
        }
        if (mapped != Dropped)
            out.append(QChar(mapped));
    }
}

QString tolerantText(QStringView text)
{
    QString out;
    tolerantTextInto(text, out);
    return out;
}

double commonSubsequenceRatio(QStringView a, QStringView b)
{
    const qsizetype longer = std::max(a.size(), b.size());
    if (longer == 0)
        return 0;
    if (a.size() < b.size())
        std::swap(a, b);
    // One row of the usual table, over the shorter text.
    std::vector<int> row(size_t(b.size()) + 1, 0);
    for (const QChar ca : a) {
        int diagonal = 0;
        for (qsizetype j = 0; j < b.size(); ++j) {
            const int above = row[size_t(j) + 1];
            row[size_t(j) + 1] = ca == b[j] ? diagonal + 1 : std::max(above, row[size_t(j)]);
            diagonal = above;
        }
    }
    return double(row.back()) / double(longer);
}
