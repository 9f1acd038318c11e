#pragma once

#include <QString>
#include <QStringView>

#include <unicode/uversion.h>

#include <memory>
#include <vector>

U_NAMESPACE_BEGIN
class Transliterator;
U_NAMESPACE_END

// The first letter of the pinyin of single characters, from ICU's "Han-Latin"
// transliterator, which gives each character one reading. Asking ICU is the
// cost of filling in initials, so each character is asked once and its
// answer kept.
class PinyinInitials
{
public:
    PinyinInitials();
    ~PinyinInitials();
    PinyinInitials(const PinyinInitials &) = delete;
    PinyinInitials &operator=(const PinyinInitials &) = delete;

    // False when ICU lacks the transliterator; errorString() says why.
    bool isValid() const { return m_transliterator != nullptr; }
    QString errorString() const { return m_error; }

    // What a character contributes to a question's initials: the lower-case
    // first letter of a Chinese character's pinyin, a digit as it is (a
    // full-width one as its ASCII form), a Latin letter in lower case, and
    // nothing (0) for punctuation, blanks and everything else.
    char32_t initialOf(char32_t character);

    // The initials of a whole text, character by character.
    QString initialsOf(QStringView text);

private:
    char32_t hanInitial(char32_t character);
    char32_t transliterate(char32_t character);

    std::unique_ptr<icu::Transliterator> m_transliterator;
    QString m_error;
    // One entry per character of the Basic Multilingual Plane: Unasked until
    // ICU has been asked, then its letter or None.
    std::vector<char16_t> m_cache;
};
