#include "QuestionInitials.h"

#include "PinyinDictionary.h"

#include <algorithm>

namespace {

// A stretch of the question whose letters a word gives: one of the makers'
// (`word` its index) or one of the dictionary's (`word` -1).
struct Stretch
{
    qsizetype start = 0;
    qsizetype length = 0;
    QStringView initials;
    qsizetype word = -1;
};

} // namespace

QuestionInitials::QuestionInitials(ReadingOverrides overrides)
    : m_overrides(std::move(overrides))
{
}

// The makers' words first, then the dictionary's where none of theirs stands,
// then ICU's letter for each character left.
QuestionInitials::Filled QuestionInitials::fill(QStringView question)
{
    QList<Stretch> stretches;
    QList<bool> covered(question.size(), false);
    for (const ReadingOverrides::Match &match : m_overrides.matchesIn(question)) {
        const ReadingOverrides::Word &word = m_overrides.words().at(match.word);
        stretches.append({match.start, word.text.size(), word.initials, match.word});
        std::fill(covered.begin() + match.start, covered.begin() + match.start + word.text.size(), true);
    }
    const PinyinDictionary &dictionary = PinyinDictionary::builtIn();
    for (const PinyinDictionary::Match &match : dictionary.matchesIn(question, covered))
        stretches.append({match.start, match.length, match.initials});
    std::sort(stretches.begin(), stretches.end(), [](const Stretch &left, const Stretch &right) { return left.start < right.start; });

    Filled filled;
    auto nextStretch = stretches.cbegin();
    qsizetype position = 0;
    while (position < question.size()) {
        if (nextStretch != stretches.cend() && nextStretch->start == position) {
            filled.initials += nextStretch->initials;
            if (nextStretch->word >= 0)
                filled.usedWords.append(nextStretch->word);
            position += nextStretch->length;
            ++nextStretch;
            continue;
        }
        const QChar unit = question.at(position);
        const bool pair = unit.isHighSurrogate() && position + 1 < question.size() && question.at(position + 1).isLowSurrogate();
        const char32_t character = pair ? QChar::surrogateToUcs4(unit, question.at(position + 1)) : unit.unicode();
        if (const char32_t initial = m_pinyin.initialOf(character))
            filled.initials += QChar::fromUcs4(initial);
        if (!dictionary.severalInitialsOf(character).isEmpty() && !filled.unsettled.contains(unit))
            filled.unsettled += unit;
        position += pair ? 2 : 1;
    }
    return filled;
}
