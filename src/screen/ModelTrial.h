#pragma once

#include <QString>

#include <optional>

// Tesseract ends the whole process (an assertion, then abort) when a model
// file is damaged inside, say one byte of its network changed, where a file
// cut short or not a model at all only fails the load. So the model is first
// loaded in a child process: a damaged file then costs the reading, not the
// program. What went wrong in the child, or none when it loaded the model,
// and none where no child can be started or the child does not end (the
// model is then loaded as ever).
std::optional<QString> modelTrialFailure(const char *language);
