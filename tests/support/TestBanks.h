#pragma once

#include "bank/QuestionLines.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Plain bank bytes enciphered as a bank file holds them.
QByteArray enciphered(QByteArray plain);

// Writes `plainText` as a bank file the way the makers ship it: GBK, enciphered.
void writeBankText(const QString &path, const QString &plainText);

// Writes `lines` as a bank file, joined by CR LF with none after the last.
void writeBankFile(const QString &path, const QStringList &lines);

// The lines as a list, to compare.
QStringList linesOf(const QuestionLines &lines);
