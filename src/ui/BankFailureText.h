#pragma once

#include "bank/BankFailure.h"

#include <QString>

// The window's words for a bank it could not load, naming the file and the cause.
QString bankFailureText(const BankFailure &failure);
