#include "bank/QuestionLines.h"

#include "platform/Platform.h"
#include "text/AnsiDecoder.h"
#include "text/UnitPairScan.h"

#include <algorithm>

namespace {

constexpr qsizetype SeparatorLength = 2;
// Lines of a real bank are some thirty units long on average; reserving for
// lines of eight leaves room for short ones without copying.
constexpr qsizetype ExpectedUnitsPerLine = 8;
} // namespace

QuestionLines::Builder::Builder(qsizetype expectedUnits)
{
    if (expectedUnits <= 0) {
        m_lines.m_lineStarts.push_back(0);
        return;
    }
    m_lines.m_text.reserve(expectedUnits);
    Platform::adviseLargePages(m_lines.m_text.constData(), size_t(m_lines.m_text.capacity()) * sizeof(char16_t));
    m_lines.m_lineStarts.reserve(size_t(expectedUnits / ExpectedUnitsPerLine + 1));
    Platform::adviseLargePages(m_lines.m_lineStarts.data(), m_lines.m_lineStarts.capacity() * sizeof(std::uint32_t));
    m_lines.m_lineStarts.push_back(0);
}

void QuestionLines::Builder::splitAppended()
{
    std::vector<std::uint32_t> &starts = m_lines.m_lineStarts;
    // A CR at the end of the last piece may pair with an LF at the start of this one.
    const qsizetype from = m_split > 0 ? m_split - 1 : 0;
    UnitPairScan::scan(m_lines.m_text, from, u'\r', u'\n', [&](qsizetype separator) {
        const qsizetype next = separator + SeparatorLength;
        starts.push_back(std::uint32_t(next));
        return next;
    });
    m_split = m_lines.m_text.size();
}

void QuestionLines::Builder::appendWritten(qsizetype units, std::span<const std::uint32_t> starts)
{
    splitAppended();
    const auto offset = std::uint32_t(m_lines.m_text.size());
    m_lines.m_text.resize(offset + units);
    std::vector<std::uint32_t> &lineStarts = m_lines.m_lineStarts;
    const size_t before = lineStarts.size();
    lineStarts.resize(before + starts.size());
    std::transform(starts.begin(), starts.end(), lineStarts.begin() + qsizetype(before),
                   [offset](std::uint32_t start) { return start + offset; });
    m_split = m_lines.m_text.size();
}

QuestionLines QuestionLines::Builder::finish()
{
    splitAppended();
    // Hands back the room that was reserved but not used (a shared text is left alone, not copied).
    if (m_lines.m_text.isDetached())
        m_lines.m_text.squeeze();
    return std::move(m_lines);
}

QuestionLines QuestionLines::fromText(QString text)
{
    Builder builder;
    builder.text() = std::move(text);
    return builder.finish();
}

QuestionLines QuestionLines::fromPlainBank(QByteArrayView plain)
{
    // Every byte decodes to one code unit at most, one more for the decoder's carry.
    Builder builder(plain.size() + 1);
    CodePage::AnsiDecoder decoder;
    decoder.decode(plain, builder.text());
    decoder.finish(builder.text());
    return builder.finish();
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

bool QuestionLines::hasSubstitutes(qsizetype index) const
{
    return at(index).contains(QChar::ReplacementCharacter);
}
