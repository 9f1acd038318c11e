#include "bank/SourceReader.h"

#include "bank/InputFile.h"

bool SourceReader::read(const QString &path, QByteArray &bytes)
{
    return InputFile::readWhole(path, bytes, m_failure);
}
