#pragma once

#include <QStringList>

// The subcommands of vellmar-bank. Each takes its own arguments and returns
// the process's exit status; output goes to stdout, messages to stderr.
namespace BankCommands {

inline constexpr int Ok = 0;
inline constexpr int Failed = 1;
inline constexpr int Usage = 2;

int run(const QStringList &arguments);

} // namespace BankCommands
