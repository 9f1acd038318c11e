#pragma once

#include "BankText.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>

// What players would report of a bank (wrong, repeated and unfindable
// questions), found in its source or in the bank itself.
struct LintFinding
{
    enum class Severity { Error, Warning };

    qsizetype line = 0; // 1-based
    Severity severity = Severity::Warning;
    QString kind;   // a short fixed name, such as "duplicate"
    QString reason; // one line
};

struct LintReport
{
    QList<LintFinding> findings; // by line

    qsizetype count(LintFinding::Severity severity) const;
    bool hasErrors() const { return count(LintFinding::Severity::Error) > 0; }
};

namespace BankLint {

// The initials build would fill in for a question's text; empty when not known.
using Initials = std::function<QString(QStringView question)>;

LintReport lint(const BankText &text, const Initials &initials = {});

} // namespace BankLint
