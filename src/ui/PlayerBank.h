#pragma once

#include "bank/QuestionLines.h"

#include <QDateTime>
#include <QString>

// Which bank the window uses, and a player's own bank installed without
// root: --bank FILE first, else the player's own data.dat where one is
// installed, else the data.dat beside the program.
namespace PlayerBank {

// data.dat in the player's data folder.
QString ownBankPath();
QString previousBankPath();

QString chooseBank(const QString &bankOption, const QString &programFolder);

// A bank loaded, and what the window says about it.
struct LoadedBank
{
    QString path;
    QuestionLines lines;
    QDateTime modified;
};

// Loads `path` in full; on failure `error` is the reader's message, in Chinese.
bool load(const QString &path, LoadedBank &bank, QString &error);

// Loads `source` in full first; only a bank that loads, and holds at least
// one question with its answer, is copied into the player's folder, through
// a temporary file and a rename, the player's bank before it kept as
// data.dat.previous. On failure nothing is changed and `error` says why.
bool install(const QString &source, LoadedBank &installed, QString &error);

} // namespace PlayerBank
