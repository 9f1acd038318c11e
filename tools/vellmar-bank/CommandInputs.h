#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

struct BankText;
class QuestionLines;
class ReadingOverrides;

// What the commands read, and the rule that no output replaces an input.
namespace BankCommands {

// Outputs never replace their own inputs: the input must survive a command.
bool sameFile(const QString &input, const QString &output);
int refuseSameFile(const QString &path);

// A source is the maker's own text file, read whole as it is, with the checks a bank gets.
bool readSource(const QString &path, QByteArray &bytes, QString &error);
// Lint and diff take a source or a bank, told apart by their bytes.
bool readBankText(const QString &path, BankText &text, QString &error);
// A UTF-8 source where a bank belongs (search, check): false, after saying
// what the file looks like and what to do, when `path` starts like one.
bool notASource(const QString &path);
// A bank as search, check and recognise take it: false, after saying why,
// when it cannot be loaded or is a source (see notASource).
bool readBank(const QString &path, QuestionLines &lines);
// No path, no overrides.
bool readOverrides(const QString &path, ReadingOverrides &overrides, QString &error);

// Reads a bank, deciphered, and writes what `convert` makes of it.
using Conversion = std::function<bool(const QString &input, const QByteArray &plain, QByteArray &output, QString &error)>;
int convertBank(const QString &input, const QString &output, const Conversion &convert);

} // namespace BankCommands
