#pragma once

#include "bank/QuestionLines.h"

#include <QByteArray>
#include <QList>
#include <QString>

// A source or a bank as numbered lines of text: line 2k is a question, line
// 2k + 1 its answer. fromSource is the one reading of a source's lines (build,
// lint, diff); a bank's lines are the window's own QuestionLines.
struct BankText
{
    enum class Kind { Source, Bank };

    struct Line
    {
        QString text;
        qsizetype number = 0;      // 1-based, in the file
        bool invalidBytes = false; // not UTF-8 in a source, not GBK in a bank
    };

    Kind kind = Kind::Source;
    // The lines that pair up: a source's blank lines at the end and a bank's
    // empty line after its last CR LF are left out.
    QList<Line> lines;
    // A source's first blank line at the end, which build leaves out; 0 when none.
    qsizetype trailingBlankLine = 0;

    qsizetype pairCount() const { return lines.size() / 2; }

    // A source is UTF-8 text without control characters other than tab, CR
    // and LF; an enciphered bank's bytes practically never are.
    static bool isSource(const QByteArray &bytes);
    // LF or CR LF lines, each decoded on its own; a byte-order mark is dropped.
    static BankText fromSource(const QByteArray &utf8);
    static BankText fromBank(const QuestionLines &lines);

    // Blank lines hold nothing but white space.
    static bool isBlank(QStringView line);
};
