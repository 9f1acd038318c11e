#include "bank/QuestionLines.h"

namespace {
constexpr qsizetype SeparatorLength = 2;
}

QuestionLines QuestionLines::fromText(QString text)
{
    QuestionLines lines;
    lines.m_text = std::move(text);
    const QStringView whole(lines.m_text);
    lines.m_lineStarts.push_back(0);
    for (qsizetype found = whole.indexOf(u"\r\n"); found >= 0;
         found = whole.indexOf(u"\r\n", found + SeparatorLength)) {
        lines.m_lineStarts.push_back(std::uint32_t(found + SeparatorLength));
    }
    return lines;
}

qsizetype QuestionLines::lineEnd(qsizetype index) const
{
    return index + 1 < size() ? lineStart(index + 1) - SeparatorLength : m_text.size();
}

QStringView QuestionLines::at(qsizetype index) const
{
    const qsizetype start = lineStart(index);
    return QStringView(m_text).mid(start, lineEnd(index) - start);
}
