#pragma once

#include <QCommandLineOption>

// The options the commands share.
namespace BankCommands {

extern const QCommandLineOption JsonOption;
extern const QCommandLineOption ReadingsOption;
extern const QCommandLineOption VerboseOption;
extern const QCommandLineOption HelpOption;
extern const QCommandLineOption NoInitialsOption;
extern const QCommandLineOption StrictOption;
extern const QCommandLineOption LossyOption;

} // namespace BankCommands
