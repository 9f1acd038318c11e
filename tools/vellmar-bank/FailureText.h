#pragma once

#include "bank/BankFailure.h"

#include <QString>

// The tool's words for an input it could not read or an output it could not
// write: "PATH: cause", in English.
QString failureText(const BankFailure &failure);
