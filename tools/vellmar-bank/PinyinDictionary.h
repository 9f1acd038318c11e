#pragma once

#include <QHash>
#include <QLatin1StringView>
#include <QList>
#include <QString>
#include <QStringView>

#include <string_view>
#include <unordered_map>
#include <vector>

// Words and the first letters of their readings, from libime's pinyin
// dictionary (made into a table at build time, see tools/pinyin-table), and
// the characters whose words read them with different first letters.
class PinyinDictionary
{
public:
    // Where a word of the dictionary covers part of a text.
    struct Match
    {
        qsizetype start = 0;  // in UTF-16 units
        qsizetype length = 0; // in UTF-16 units
        QStringView initials; // one letter for each character
    };

    // The table built into the program, read at the first call.
    static const PinyinDictionary &builtIn();

    // The words point into the table's text, which is not copied along.
    PinyinDictionary(const PinyinDictionary &) = delete;
    PinyinDictionary &operator=(const PinyinDictionary &) = delete;

    // The first letters the character's readings start with, such as "cz"
    // for 长; empty when they all start with the same one.
    QLatin1StringView severalInitialsOf(char32_t character) const;

    // The words found in `text` where `covered` is false, longest word
    // first, and of two as long the earlier place; in no particular order.
    // `covered` is set where they are.
    QList<Match> matchesIn(QStringView text, QList<bool> &covered) const;

private:
    explicit PinyinDictionary(const QString &table);

    QString m_table; // the words' text, which m_words points into
    std::unordered_map<std::u16string_view, QStringView> m_words;
    // For each code unit, the longest word that begins with it (0: none).
    std::vector<unsigned char> m_longestFrom;
    QHash<char32_t, QByteArray> m_several;
};
