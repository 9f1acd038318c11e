#include "ReadingOverrides.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

bool isInitials(QStringView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar unit) {
        return (unit >= u'a' && unit <= u'z') || (unit >= u'0' && unit <= u'9');
    });
}

// The characters of a word that give an initial: Chinese characters, letters and digits.
qsizetype initialCount(QStringView word)
{
    const QList<uint> characters = word.toUcs4();
    return std::count_if(characters.begin(), characters.end(), [](uint character) {
        return QChar::script(character) == QChar::Script_Han || QChar::isLetterOrNumber(character);
    });
}

} // namespace

bool ReadingOverrides::parse(const QByteArray &utf8, const QString &fileName, ReadingOverrides &overrides, QString &error)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(utf8);
    if (decoder.hasError()) {
        error = QStringLiteral("%1: not valid UTF-8").arg(fileName);
        return false;
    }
    ReadingOverrides parsed;
    QHash<QString, qsizetype> lineOfWord;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype index = 0; index < lines.size(); ++index) {
        const QString line = lines.at(index).simplified();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const auto fail = [&](const QString &reason) {
            error = QStringLiteral("%1: line %2: %3").arg(fileName).arg(index + 1).arg(reason);
            return false;
        };
        const QStringList fields = line.split(QLatin1Char(' '));
        if (fields.size() != 2)
            return fail(QStringLiteral("expected a word, a blank and its initials, as in \"银行 yh\""));
        const QString &word = fields.at(0);
        const QString &initials = fields.at(1);
        if (!isInitials(initials))
            return fail(QStringLiteral("initials \"%1\" must be lower-case letters and digits").arg(initials));
        if (initialCount(word) != initials.size())
            return fail(QStringLiteral("\"%1\" has %2 characters with initials but \"%3\" gives %4")
                            .arg(word)
                            .arg(initialCount(word))
                            .arg(initials)
                            .arg(initials.size()));
        const auto same = lineOfWord.constFind(word);
        if (same != lineOfWord.cend())
            return fail(QStringLiteral("\"%1\" is already given on line %2").arg(word).arg(*same));
        lineOfWord.insert(word, index + 1);
        parsed.m_words.append({word, initials, index + 1});
    }
    for (qsizetype index = 0; index < parsed.m_words.size(); ++index)
        parsed.m_byFirstUnit[parsed.m_words.at(index).text.at(0).unicode()].append(index);
    for (QList<qsizetype> &candidates : parsed.m_byFirstUnit) {
        std::stable_sort(candidates.begin(), candidates.end(), [&](qsizetype left, qsizetype right) {
            return parsed.m_words.at(left).text.size() > parsed.m_words.at(right).text.size();
        });
    }
    overrides = std::move(parsed);
    return true;
}

QList<ReadingOverrides::Match> ReadingOverrides::matchesIn(QStringView text) const
{
    QList<Match> found;
    if (m_words.isEmpty())
        return found;
    for (qsizetype start = 0; start < text.size(); ++start) {
        const auto candidates = m_byFirstUnit.constFind(text.at(start).unicode());
        if (candidates == m_byFirstUnit.cend())
            continue;
        for (const qsizetype word : *candidates) {
            if (text.sliced(start).startsWith(m_words.at(word).text))
                found.append({start, word});
        }
    }
    if (found.size() < 2)
        return found;
    std::stable_sort(found.begin(), found.end(), [&](const Match &left, const Match &right) {
        return m_words.at(left.word).text.size() > m_words.at(right.word).text.size();
    });
    QList<Match> taken;
    QList<bool> covered(text.size(), false);
    for (const Match &match : std::as_const(found)) {
        const qsizetype length = m_words.at(match.word).text.size();
        if (std::any_of(covered.begin() + match.start, covered.begin() + match.start + length, [](bool c) { return c; }))
            continue;
        std::fill(covered.begin() + match.start, covered.begin() + match.start + length, true);
        taken.append(match);
    }
    std::sort(taken.begin(), taken.end(), [](const Match &left, const Match &right) { return left.start < right.start; });
    return taken;
}
