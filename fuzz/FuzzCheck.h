#pragma once

#include <QByteArray>
#include <QDebug>
#include <QString>

// A fuzz target's check: on a difference it prints what differs and aborts,
// so libFuzzer keeps the input that made it.
void fuzzCheck(bool holds, const char *what, const QString &details = {});

// The input as a byte array, without copying.
QByteArray fuzzInput(const uint8_t *data, size_t size);
