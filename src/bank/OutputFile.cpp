#include "bank/OutputFile.h"

#include <QDir>
#include <QSaveFile>

namespace OutputFile {

bool writeWhole(const QString &path, QByteArrayView bytes, QString &error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes.data(), bytes.size()) == bytes.size() && file.commit())
        return true;
    error = QStringLiteral("%1: cannot write: %2").arg(QDir::toNativeSeparators(path), file.errorString());
    return false;
}

} // namespace OutputFile
