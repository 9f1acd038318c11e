#include "BankLint.h"


#include "text/CodePage.h"

#include <QHash>

#include <algorithm>

namespace BankLint {
namespace {

using Severity = LintFinding::Severity;

constexpr QChar Dash = u'-';
constexpr QChar FullWidthDash = u'\uFF0D';

bool hasUpperLatin(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar unit) { return unit >= u'A' && unit <= u'Z'; });
}

bool isAsciiLetterOrDigit(QChar unit)
{
    return (unit >= u'0' && unit <= u'9') || (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z');
}

bool looksLikeInitials(QStringView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), isAsciiLetterOrDigit);
}

// A CR is reported on its own; blanks are what an editor shows as space.
bool endsInBlank(QStringView text)
{
    return !text.isEmpty() && text.last().isSpace() && text.last() != u'\r' && text.last() != u'\n';
}

// The question as players tell questions apart: full-width forms as their
// half-width ones, without blanks and punctuation.
QString nearKey(QStringView question)
{
    QString key;
    key.reserve(question.size());
    for (QChar unit : question) {
        if (unit >= u'\uFF01' && unit <= u'\uFF5E')
            unit = QChar(unit.unicode() - 0xFEE0);
        if (!unit.isSpace() && !unit.isPunct() && !unit.isSymbol())
            key += unit;
    }
    return key;
}

QString quoted(QStringView text)
{
    return QLatin1Char('"') + text.toString() + QLatin1Char('"');
}

class Linter
{
public:
    Linter(const BankText &text, const Initials &initials)
        : m_text(text)
        , m_initials(initials)
    {
    }

    LintReport run()
    {
        const QList<BankText::Line> &lines = m_text.lines;
        for (const BankText::Line &line : lines)
            checkLine(line);
        for (qsizetype index = 0; index + 1 < lines.size(); index += 2)
            checkPair(index);
        if (lines.size() % 2 != 0)
            add(lines.last().number, Severity::Error, QStringLiteral("unpaired-line"),
                QStringLiteral("question without an answer: the last line has no partner and is never searched"));
        if (m_text.trailingBlankLine)
            add(m_text.trailingBlankLine, Severity::Warning, QStringLiteral("trailing-blank-lines"),
                QStringLiteral("blank lines at the end; build leaves them out"));
        std::stable_sort(m_report.findings.begin(), m_report.findings.end(),
                         [](const LintFinding &left, const LintFinding &right) { return left.line < right.line; });
        return std::move(m_report);
    }

private:
    void add(qsizetype line, Severity severity, const QString &kind, const QString &reason)
    {
        m_report.findings.append({line, severity, kind, reason});
    }

    // What every line, question or answer, can get wrong.
    void checkLine(const BankText::Line &line)
    {
        const bool source = m_text.kind == BankText::Kind::Source;
        if (line.invalidBytes)
            add(line.number, Severity::Error, QStringLiteral("invalid-bytes"),
                source ? QStringLiteral("not valid UTF-8") : QStringLiteral("bytes that are not GBK; players see substitutes"));
        qsizetype position = 0;
        if (source && !line.invalidBytes && CodePage::findUnencodable(line.text, &position))
            add(line.number, Severity::Error, QStringLiteral("not-gbk"),
                QStringLiteral("column %1: character %2 cannot be written in GBK")
                    .arg(line.text.first(position).toUcs4().size() + 1)
                    .arg(quoted(line.text.mid(position, line.text.at(position).isHighSurrogate() ? 2 : 1))));
        if (line.text.contains(QLatin1Char('\r')))
            add(line.number, Severity::Warning, QStringLiteral("lone-cr"),
                QStringLiteral("a lone CR inside the line; it is part of the text but invisible"));
        if (line.text.contains(QLatin1Char('\n')))
            add(line.number, Severity::Warning, QStringLiteral("lone-lf"),
                QStringLiteral("a lone LF inside the line; a source cannot hold it"));
        if (endsInBlank(line.text))
            add(line.number, Severity::Warning, QStringLiteral("trailing-blanks"), QStringLiteral("blanks at the end of the line"));
    }

    void checkPair(qsizetype index)
    {
        const BankText::Line &questionLine = m_text.lines.at(index);
        const BankText::Line &answerLine = m_text.lines.at(index + 1);
        const qsizetype number = questionLine.number;
        const QString &line = questionLine.text;
        if (BankText::isBlank(line)) {
            add(number, Severity::Error, QStringLiteral("blank-line"),
                QStringLiteral("blank line where a question belongs; every question after it becomes an answer"));
            return;
        }
        const qsizetype dash = line.indexOf(Dash);
        const QStringView question = dash < 0 ? QStringView(line) : QStringView(line).first(dash);
        const QStringView written = dash < 0 ? QStringView() : QStringView(line).sliced(dash + 1);
        if (question.trimmed().isEmpty())
            add(number, Severity::Error, QStringLiteral("empty-question"),
                QStringLiteral("empty question: the line begins with \"-\", so players see an empty row"));
        if (BankText::isBlank(answerLine.text))
            add(answerLine.number, Severity::Warning, QStringLiteral("empty-answer"),
                QStringLiteral("empty answer to the question on line %1").arg(number));
        if (hasUpperLatin(question))
            add(number, Severity::Warning, QStringLiteral("upper-case-question"),
                QStringLiteral("upper-case letters in the question; queries are lower-cased, so typing them finds nothing here"));
        checkFullWidthDash(number, line, dash);
        if (dash >= 0)
            checkWritten(number, question, written);
        checkRepeats(index, question);
    }

    void checkFullWidthDash(qsizetype number, const QString &line, qsizetype dash)
    {
        const qsizetype fullWidth = line.indexOf(FullWidthDash);
        if (fullWidth < 0 || (dash >= 0 && dash < fullWidth))
            return;
        const QStringView after = QStringView(line).first(dash < 0 ? line.size() : dash).sliced(fullWidth + 1);
        if (dash < 0 || looksLikeInitials(after))
            add(number, Severity::Warning, QStringLiteral("full-width-dash"),
                QStringLiteral("full-width dash \"－\" where \"-\" was probably meant; it does not separate the initials"));
    }

    // The part after the first "-": initials, or a question cut short.
    void checkWritten(qsizetype number, QStringView question, QStringView written)
    {
        if (!looksLikeInitials(written)) {
            if (!written.isEmpty())
                add(number, Severity::Warning, QStringLiteral("dash-in-question"),
                    QStringLiteral("\"-\" inside the question: players see only %1").arg(quoted(question)));
            return;
        }
        if (hasUpperLatin(written)) {
            add(number, Severity::Error, QStringLiteral("upper-case-initials"),
                QStringLiteral("upper-case letters in the initials %1; queries are lower-cased, so they never match")
                    .arg(quoted(written)));
            return;
        }
        if (!m_initials)
            return;
        const QString expected = m_initials(question);
        if (!expected.isEmpty() && expected != written)
            add(number, Severity::Warning, QStringLiteral("initials-differ"),
                QStringLiteral("initials %1 differ from %2, which build would fill in").arg(quoted(written), quoted(expected)));
    }

    void checkRepeats(qsizetype index, QStringView question)
    {
        const BankText::Line &questionLine = m_text.lines.at(index);
        const QString &answer = m_text.lines.at(index + 1).text;
        const QString text = question.trimmed().toString();
        const auto same = m_firstByQuestion.constFind(text);
        if (same != m_firstByQuestion.cend()) {
            const BankText::Line &first = m_text.lines.at(*same);
            const QString &firstAnswer = m_text.lines.at(*same + 1).text;
            if (firstAnswer == answer)
                add(questionLine.number, Severity::Warning, QStringLiteral("duplicate"),
                    QStringLiteral("the same question and answer as line %1").arg(first.number));
            else
                add(questionLine.number, Severity::Error, QStringLiteral("conflicting-answers"),
                    QStringLiteral("the question of line %1 again, with another answer (%2 there, %3 here)")
                        .arg(first.number)
                        .arg(quoted(firstAnswer), quoted(answer)));
            return;
        }
        m_firstByQuestion.insert(text, index);
        const QString key = nearKey(text);
        const auto near = m_firstByNearKey.constFind(key);
        if (near != m_firstByNearKey.cend())
            add(questionLine.number, Severity::Warning, QStringLiteral("near-duplicate"),
                QStringLiteral("differs from the question of line %1 only in full-width forms, blanks or punctuation")
                    .arg(m_text.lines.at(*near).number));
        else if (!key.isEmpty())
            m_firstByNearKey.insert(key, index);
    }

    const BankText &m_text;
    const Initials &m_initials;
    LintReport m_report;
    QHash<QString, qsizetype> m_firstByQuestion; // question text → index of its first line
    QHash<QString, qsizetype> m_firstByNearKey;
};

} // namespace

LintReport lint(const BankText &text, const Initials &initials)
{
    return Linter(text, initials).run();
}

} // namespace BankLint

qsizetype LintReport::count(LintFinding::Severity severity) const
{
    return std::count_if(findings.begin(), findings.end(), [&](const LintFinding &finding) { return finding.severity == severity; });
}
