#include "PinyinInitials.h"

#include <QList>

#include <unicode/translit.h>
#include <unicode/unistr.h>

namespace {

constexpr char16_t Unasked = 0xFFFF;
constexpr char16_t None = 0;
constexpr char32_t PlaneSize = 0x10000;

// Full-width ASCII forms, as Chinese input methods type them: ０ to ９, Ａ to ｚ.
constexpr char32_t FullWidthFirst = 0xFF01;
constexpr char32_t FullWidthLast = 0xFF5E;
constexpr char32_t FullWidthOffset = 0xFEE0;

char32_t halfWidth(char32_t character)
{
    return character >= FullWidthFirst && character <= FullWidthLast ? character - FullWidthOffset : character;
}

bool isAsciiLetterOrDigit(char32_t character)
{
    return (character >= '0' && character <= '9') || (character >= 'a' && character <= 'z')
        || (character >= 'A' && character <= 'Z');
}

} // namespace

PinyinInitials::PinyinInitials()
{
    UErrorCode status = U_ZERO_ERROR;
    // Latin-ASCII drops the tone marks, so a reading such as "ài" starts with "a".
    m_transliterator.reset(icu::Transliterator::createInstance("Han-Latin; Latin-ASCII", UTRANS_FORWARD, status));
    if (U_FAILURE(status)) {
        m_transliterator.reset();
        m_error = QStringLiteral("ICU has no Han-Latin transliterator (%1)").arg(QString::fromLatin1(u_errorName(status)));
        return;
    }
    m_cache.assign(PlaneSize, Unasked);
}

PinyinInitials::~PinyinInitials() = default;

char32_t PinyinInitials::initialOf(char32_t character)
{
    const char32_t narrow = halfWidth(character);
    if (isAsciiLetterOrDigit(narrow))
        return QChar::toLower(narrow);
    if (QChar::script(character) == QChar::Script_Han)
        return hanInitial(character);
    if (QChar::script(character) == QChar::Script_Latin && QChar::isLetter(character))
        return QChar::toLower(character);
    return None;
}

QString PinyinInitials::initialsOf(QStringView text)
{
    QString initials;
    for (const char32_t character : text.toUcs4()) {
        if (const char32_t initial = initialOf(character))
            initials += QChar::fromUcs4(initial);
    }
    return initials;
}

char32_t PinyinInitials::hanInitial(char32_t character)
{
    if (!isValid())
        return None;
    if (character >= PlaneSize)
        return transliterate(character);
    char16_t &cached = m_cache[character];
    if (cached == Unasked)
        cached = char16_t(transliterate(character));
    return cached;
}

char32_t PinyinInitials::transliterate(char32_t character)
{
    icu::UnicodeString text{UChar32(character)};
    m_transliterator->transliterate(text);
    const char32_t first = text.isEmpty() ? None : char32_t(text.char32At(0));
    if (first >= 'A' && first <= 'Z')
        return first - 'A' + 'a';
    return first >= 'a' && first <= 'z' ? first : None;
}
