// Turns the text dump of libime's pinyin dictionary (`libime_pinyindict -d
// sc.dict`: "WORD PIN'YIN WEIGHT" a line) into the table vellmar-bank loads:
// the characters whose words read them with different first letters, and
// the words that settle such a character or read one otherwise than ICU.
// Everything else the tool gets from ICU alone, so it is left out.

#include "PinyinInitials.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QMap>
#include <QStringList>

#include <algorithm>
#include <cstdio>

namespace {

// A first letter counts as a reading of a character when at least this share
// of the words holding the character, and at least two of them, read it so:
// rarer readings are archaic or the dictionary's slips.
constexpr double LeastShare = 0.02;
constexpr int LeastWords = 2;

struct Reading
{
    double weight = 0;
    QString initials;
};

bool isHanWord(const QList<uint> &characters)
{
    return characters.size() >= 2 && std::all_of(characters.begin(), characters.end(), [](uint character) {
        return QChar::script(character) == QChar::Script_Han;
    });
}

// The likeliest reading of each word of two or more Chinese characters.
QHash<QString, Reading> readWords(QFile &dump)
{
    QHash<QString, Reading> words;
    while (!dump.atEnd()) {
        const QStringList fields = QString::fromUtf8(dump.readLine()).split(QLatin1Char(' '));
        if (fields.size() != 3)
            continue;
        const QString &word = fields.at(0);
        const QStringList syllables = fields.at(1).split(QLatin1Char('\''));
        if (!isHanWord(word.toUcs4()) || syllables.size() != word.toUcs4().size())
            continue;
        Reading reading{fields.at(2).toDouble(), {}};
        for (const QString &syllable : syllables)
            reading.initials += syllable.at(0);
        const auto known = words.constFind(word);
        if (known == words.cend() || known->weight < reading.weight)
            words.insert(word, reading);
    }
    return words;
}

// The first letters each character is read with, sorted, where there are several.
QMap<uint, QString> severalReadings(const QHash<QString, Reading> &words)
{
    QHash<uint, QMap<QChar, int>> letters;
    for (auto word = words.cbegin(); word != words.cend(); ++word) {
        const QList<uint> characters = word.key().toUcs4();
        for (qsizetype index = 0; index < characters.size(); ++index)
            ++letters[characters.at(index)][word->initials.at(index)];
    }
    QMap<uint, QString> several;
    for (auto character = letters.cbegin(); character != letters.cend(); ++character) {
        int total = 0;
        for (const int count : *character)
            total += count;
        QString taken;
        for (auto letter = character->cbegin(); letter != character->cend(); ++letter) {
            if (*letter >= LeastWords && *letter >= LeastShare * total)
                taken += letter.key();
        }
        if (taken.size() > 1)
            several.insert(character.key(), taken);
    }
    return several;
}

bool worthKeeping(const QString &word, const QString &initials, const QMap<uint, QString> &several, PinyinInitials &icu)
{
    const QList<uint> characters = word.toUcs4();
    for (qsizetype index = 0; index < characters.size(); ++index) {
        if (several.contains(characters.at(index)) || icu.initialOf(characters.at(index)) != initials.at(index).unicode())
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 3) {
        std::fputs("usage: vellmar-pinyin-table DICTIONARY-DUMP TABLE\n", stderr);
        return 2;
    }
    QFile dump(arguments.at(1));
    if (!dump.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(arguments.at(1)), qPrintable(dump.errorString()));
        return 1;
    }
    PinyinInitials icu;
    if (!icu.isValid()) {
        std::fprintf(stderr, "%s\n", qPrintable(icu.errorString()));
        return 1;
    }
    const QHash<QString, Reading> words = readWords(dump);
    const QMap<uint, QString> several = severalReadings(words);
    QStringList lines;
    for (auto character = several.cbegin(); character != several.cend(); ++character)
    {
        const char32_t code = character.key();
        lines << QString::fromUcs4(&code, 1) + QLatin1Char(' ') + *character;
    }
    QStringList kept;
    for (auto word = words.cbegin(); word != words.cend(); ++word) {
        if (worthKeeping(word.key(), word->initials, several, icu))
            kept << word.key() + QLatin1Char(' ') + word->initials;
    }
    kept.sort();
    lines += kept;
    QFile table(arguments.at(2));
    if (!table.open(QIODevice::WriteOnly | QIODevice::Truncate) || table.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8()) < 0
        || !table.flush()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(arguments.at(2)), qPrintable(table.errorString()));
        return 1;
    }
    return 0;
}
