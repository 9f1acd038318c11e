#pragma once

#include "QuestionInitials.h"

#include <QCommandLineParser>
#include <QString>

#include <memory>

// The initials of the commands that fill them in, and what a maker should
// hear of them.
namespace BankCommands {

// The initials with the readings file the command was given; null, with
// `error` set, when the file or ICU fails.
std::unique_ptr<QuestionInitials> questionInitials(const QCommandLineParser &parser, QString &error);

// The warning for characters of several readings that no word settled, as
// build and lint give it; empty when there are none.
QString severalReadingsWarning(const QuestionInitials::Filled &filled, QuestionInitials &initials);

// What a maker should know of initials filled in: the chosen readings used,
// when asked, and the characters whose reading nothing chose. `where` leads
// each message.
void reportFilled(const QuestionInitials::Filled &filled, QuestionInitials &initials, const QCommandLineParser &parser,
                  const QString &where, bool showWords);

} // namespace BankCommands
