#include "bank/BankFile.h"

#include "cipher/MRC4.h"
#include "text/CodePage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <limits>

namespace BankFile {
namespace {

void setError(QString *error, const QString &message)
{
    if (error)
        *error = message;
}

std::span<std::uint8_t> bytesOf(QByteArray &buffer)
{
    return {reinterpret_cast<std::uint8_t *>(buffer.data()), size_t(buffer.size())};
}

QString displayPath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

QString DataPath(const QString &programFolder)
{
    return programFolder + QLatin1Char('/') + QStringLiteral("data.dat");
}

bool readDataBytes(const QString &path, QByteArray &DataBytes, QString *error)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        setError(error, QStringLiteral("找不到题库文件“%1”。").arg(displayPath(path)));
        return false;
    }
    if (info.isDir()) {
        setError(error, QStringLiteral("题库文件“%1”是一个文件夹，不是文件。").arg(displayPath(path)));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("无法读取题库文件“%1”：%2").arg(displayPath(path), file.errorString()));
        return false;
    }
    if (file.size() > std::numeric_limits<std::int32_t>::max()) {
        setError(error, QStringLiteral("题库文件“%1”太大（%2 字节），无法载入。").arg(displayPath(path)).arg(file.size()));
        return false;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setError(error, QStringLiteral("读取题库文件“%1”时出错：%2").arg(displayPath(path), file.errorString()));
        return false;
    }
    if (bytes.isEmpty()) {
        setError(error, QStringLiteral("题库文件“%1”是空的（0 字节）。").arg(displayPath(path)));
        return false;
    }
    DataBytes = std::move(bytes);
    return true;
}

QuestionLines decipherLines(QByteArray DataBytes)
{
    MRC4::CryptBytes(bytesOf(DataBytes), BankKey);
    return QuestionLines::fromText(CodePage::fromAnsi(DataBytes));
}

bool loadQuestionLines(const QString &path, QuestionLines &lines, QString *error)
{
    QByteArray DataBytes;
    if (!readDataBytes(path, DataBytes, error))
        return false;
    lines = decipherLines(std::move(DataBytes));
    return true;
}

bool writeWhole(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, QStringLiteral("无法写入文件“%1”：%2").arg(displayPath(path), file.errorString()));
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        setError(error, QStringLiteral("无法写入文件“%1”：%2").arg(displayPath(path), file.errorString()));
        return false;
    }
    return true;
}

bool JIAMSJXX(const QString &path, QString *error)
{
    QByteArray DataBytes;
    if (!readDataBytes(path, DataBytes, error))
        return false;
    MRC4::CryptBytes(bytesOf(DataBytes), BankKey);
    return writeWhole(path, DataBytes, error);
}

} // namespace BankFile
