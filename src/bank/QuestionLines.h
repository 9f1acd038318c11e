#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <span>
#include <vector>

// The deciphered bank split at CR LF: line 2k is a question, line 2k + 1 its
// answer. The text is held in one piece with the offsets of its lines, so a
// bank of a million pairs costs little more than its text.
class QuestionLines
{
public:
    // Builds the lines from text that arrives piece by piece.
    class Builder;

    QuestionLines() = default;

    // Splits at every CR LF (exactly; a lone CR or LF stays in its line):
    // n separators give n + 1 lines, so a trailing CR LF gives an empty last line.
    static QuestionLines fromText(QString text);
    // Deciphered bank bytes decoded from GBK and split, as the load does.
    static QuestionLines fromPlainBank(QByteArrayView plain);

    qsizetype size() const { return qsizetype(m_lineStarts.size()); }
    bool isEmpty() const { return m_lineStarts.empty(); }
    qsizetype pairCount() const { return size() / 2; }

    QStringView at(qsizetype index) const;
    // The line held bytes that are not GBK, which the decoding turned into substitutes.
    bool hasSubstitutes(qsizetype index) const;

    // The whole text, separators included.
    const QString &text() const { return m_text; }
    qsizetype lineStart(qsizetype index) const { return m_lineStarts[size_t(index)]; }
    qsizetype lineEnd(qsizetype index) const;
    // Where each line starts in text(), ascending.
    std::span<const std::uint32_t> lineStarts() const { return m_lineStarts; }

private:
    QString m_text;
    std::vector<std::uint32_t> m_lineStarts;
};

// Splits each piece of text as it comes, while it is still in the cache.
class QuestionLines::Builder
{
public:
    // Makes room for about `expectedUnits` code units of text.
    explicit Builder(qsizetype expectedUnits = 0);

    // The text so far. Append to it, then call splitAppended().
    QString &text() { return m_lines.m_text; }
    // Finds the line breaks in what was appended since the last call.
    void splitAppended();
    // Takes `units` units of text that another writer has put in place
    // right after the text so far, where no CR LF is cut, and the starts of
    // its lines but the first, counted from its beginning: its first line goes
    // on the last line so far.
    void appendWritten(qsizetype units, std::span<const std::uint32_t> starts);
    QuestionLines finish();

private:
    QuestionLines m_lines;
    qsizetype m_split = 0; // every line break before this has been found
};
