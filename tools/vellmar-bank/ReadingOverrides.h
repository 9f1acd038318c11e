#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

// The makers' choice of reading where a character has several: words and the
// initials they take, one a line, such as "银行 yh". Lines that are blank or
// begin with "#" are comments.
class ReadingOverrides
{
public:
    struct Word
    {
        QString text;
        QString initials;
        qsizetype line = 0; // 1-based, in the readings file
    };

    // Where a word covers part of a text.
    struct Match
    {
        qsizetype start = 0; // in UTF-16 units
        qsizetype word = 0;  // index into words()
    };

    // Reads the file's UTF-8 bytes. On failure `error` names the file and the line.
    static bool parse(const QByteArray &utf8, const QString &fileName, ReadingOverrides &overrides, QString &error);

    const QList<Word> &words() const { return m_words; }
    bool isEmpty() const { return m_words.isEmpty(); }

    // The words found in `text`, longest word first: a word is taken where no
    // longer word, or an earlier place of one as long, already covers any of
    // its characters. In order of their place in the text.
    QList<Match> matchesIn(QStringView text) const;

private:
    QList<Word> m_words;
    // Words by their first code unit, longest first.
    QHash<char16_t, QList<qsizetype>> m_byFirstUnit;
};
