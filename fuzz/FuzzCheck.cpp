#include "FuzzCheck.h"

#include <cstdio>
#include <cstdlib>

void fuzzCheck(bool holds, const char *what, const QString &details)
{
    if (holds)
        return;
    std::fprintf(stderr, "fuzz check failed: %s\n%s\n", what, qUtf8Printable(details));
    std::abort();
}

QByteArray fuzzInput(const uint8_t *data, size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
}
