#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

// The deciphered bank split at CR LF: line 2k is a question, line 2k + 1 its
// answer. The text is held in one piece with the offsets of its lines, so a
// bank of a million pairs costs little more than its text.
class QuestionLines
{
public:
    QuestionLines() = default;

    // Splits at every CR LF (exactly; a lone CR or LF stays in its line):
    // n separators give n + 1 lines, so a trailing CR LF gives an empty last line.
    static QuestionLines fromText(QString text);

    qsizetype size() const { return qsizetype(m_lineStarts.size()); }
    bool isEmpty() const { return m_lineStarts.empty(); }
    qsizetype pairCount() const { return size() / 2; }

    QStringView at(qsizetype index) const;

    // The whole text, separators included.
    const QString &text() const { return m_text; }
    qsizetype lineStart(qsizetype index) const { return m_lineStarts[size_t(index)]; }
    qsizetype lineEnd(qsizetype index) const;

private:
    QString m_text;
    std::vector<std::uint32_t> m_lineStarts;
};
