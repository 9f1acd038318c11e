#pragma once

#include "PinyinInitials.h"
#include "ReadingOverrides.h"

#include <QList>
#include <QString>
#include <QStringView>

// What `build` fills in after a question's "-": the question's pinyin
// initials, with the makers' chosen readings where their words occur, the
// pinyin dictionary's words where none of theirs does, and ICU's one reading
// for each character left.
class QuestionInitials
{
public:
    struct Filled
    {
        QString initials;
        QList<qsizetype> usedWords; // indices into the overrides' words
        // Characters with several readings that no word covered, each once.
        QString unsettled;
    };

    explicit QuestionInitials(ReadingOverrides overrides = {});

    bool isValid() const { return m_pinyin.isValid(); }
    QString errorString() const { return m_pinyin.errorString(); }
    const ReadingOverrides &overrides() const { return m_overrides; }

    Filled fill(QStringView question);
    // ICU's one reading, without any word.
    char32_t pinyinInitialOf(char32_t character) { return m_pinyin.initialOf(character); }

private:
    PinyinInitials m_pinyin;
    ReadingOverrides m_overrides;
};
