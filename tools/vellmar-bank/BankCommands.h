#pragma once

#include <QStringList>

// The command line of vellmar-bank: the table of its commands and the parser
// that hands each its arguments. Returns the process's exit status; output
// goes to stdout, messages to stderr.
namespace BankCommands {

int run(const QStringList &arguments);

} // namespace BankCommands
