#include "QuestionInitials.h"

#include "SeveralReadings.h"

QuestionInitials::QuestionInitials(ReadingOverrides overrides)
    : m_overrides(std::move(overrides))
{
}

QuestionInitials::Filled QuestionInitials::fill(QStringView question)
{
    Filled filled;
    const QList<ReadingOverrides::Match> matches = m_overrides.matchesIn(question);
    auto nextMatch = matches.cbegin();
    qsizetype position = 0;
    while (position < question.size()) {
        if (nextMatch != matches.cend() && nextMatch->start == position) {
            const ReadingOverrides::Word &word = m_overrides.words().at(nextMatch->word);
            filled.initials += word.initials;
            filled.usedWords.append(nextMatch->word);
            position += word.text.size();
            ++nextMatch;
            continue;
        }
        const QChar unit = question.at(position);
        const bool pair = unit.isHighSurrogate() && position + 1 < question.size() && question.at(position + 1).isLowSurrogate();
        const char32_t character = pair ? QChar::surrogateToUcs4(unit, question.at(position + 1)) : unit.unicode();
        if (const char32_t initial = m_pinyin.initialOf(character))
            filled.initials += QChar::fromUcs4(initial);
        if (!SeveralReadings::initialsOf(character).isEmpty() && !filled.unsettled.contains(unit))
            filled.unsettled += unit;
        position += pair ? 2 : 1;
    }
    return filled;
}
