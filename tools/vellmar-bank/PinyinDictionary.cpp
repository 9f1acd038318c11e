#include "PinyinDictionary.h"

#include <QFile>

#include <algorithm>

namespace {

constexpr qsizetype CodeUnits = 0x10000;
constexpr qsizetype LongestKept = 255; // what a length of m_longestFrom holds

QString builtInTable()
{
    QFile file(QStringLiteral(":/pinyin/pinyin-words.txt"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

std::u16string_view viewOf(QStringView text)
{
    return {text.utf16(), std::size_t(text.size())};
}

} // namespace

const PinyinDictionary &PinyinDictionary::builtIn()
{
    static const PinyinDictionary dictionary(builtInTable());
    return dictionary;
}

// One entry a line, "TEXT LETTERS": a single character with the letters its
// readings start with, or a word with the first letter of each character.
PinyinDictionary::PinyinDictionary(const QString &table)
    : m_table(table)
    , m_longestFrom(CodeUnits, 0)
{
    const QStringView text(m_table);
    qsizetype lineStart = 0;
    while (lineStart < text.size()) {
        qsizetype lineEnd = text.indexOf(QLatin1Char('\n'), lineStart);
        if (lineEnd < 0)
            lineEnd = text.size();
        const QStringView line = text.sliced(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        const qsizetype blank = line.indexOf(QLatin1Char(' '));
        if (blank <= 0)
            continue;
        const QStringView entry = line.first(blank);
        const QStringView letters = line.sliced(blank + 1);
        if (entry.toUcs4().size() == 1) {
            m_several.insert(entry.toUcs4().first(), letters.toLatin1());
            continue;
        }
        if (entry.size() > LongestKept)
            continue;
        m_words.emplace(viewOf(entry), letters);
        unsigned char &longest = m_longestFrom[entry.first().unicode()];
        longest = std::max(longest, static_cast<unsigned char>(entry.size()));
    }
}

QLatin1StringView PinyinDictionary::severalInitialsOf(char32_t character) const
{
    const auto found = m_several.constFind(character);
    return found == m_several.cend() ? QLatin1StringView() : QLatin1StringView(*found);
}

QList<PinyinDictionary::Match> PinyinDictionary::matchesIn(QStringView text, QList<bool> &covered) const
{
    QList<Match> found;
    qsizetype longest = 0;
    for (const QChar unit : text)
        longest = std::max<qsizetype>(longest, m_longestFrom[unit.unicode()]);
    for (qsizetype length = std::min(longest, text.size()); length >= 2; --length) {
        for (qsizetype start = 0; start + length <= text.size(); ++start) {
            if (m_longestFrom[text.at(start).unicode()] < length)
                continue;
            const auto begin = covered.begin() + start;
            if (std::any_of(begin, begin + length, [](bool taken) { return taken; }))
                continue;
            const auto word = m_words.find(viewOf(text.sliced(start, length)));
            if (word == m_words.end())
                continue;
            std::fill(begin, begin + length, true);
            found.append({start, length, word->second});
        }
    }
    return found;
}
