#include "ui/PlayerBank.h"

#include "bank/BankFile.h"
#include "bank/BankReader.h"
#include "ui/BankFailureText.h"
#include "ui/PlayerSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <new>

namespace PlayerBank {
namespace {

const QString BankName = QStringLiteral("data.dat");

// Written whole beside `target` and renamed over it, so the target is
// always either the old file or the new one.
bool writeWhole(const QString &target, const QByteArray &bytes, QString &error)
{
    QSaveFile file(target);
    file.setDirectWriteFallback(false);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    error = QStringLiteral("无法写入“%1”：%2").arg(QDir::toNativeSeparators(target), file.errorString());
    return false;
}

bool keepPrevious(QString &error)
{
    QFile own(ownBankPath());
    if (!own.exists())
        return true;
    if (!own.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("无法读取“%1”：%2").arg(QDir::toNativeSeparators(own.fileName()), own.errorString());
        return false;
    }
    return writeWhole(previousBankPath(), own.readAll(), error);
}

} // namespace

QString ownBankPath()
{
    return PlayerSettings::dataFolder() + u'/' + BankName;
}

QString previousBankPath()
{
    return ownBankPath() + QStringLiteral(".previous");
}

QString chooseBank(const QString &bankOption, const QString &programFolder)
{
    if (!bankOption.isEmpty())
        return QFileInfo(bankOption).absoluteFilePath();
    if (QFileInfo(ownBankPath()).isFile())
        return ownBankPath();
    return programFolder + u'/' + BankName;
}

bool load(const QString &path, LoadedBank &bank, QString &error)
{
    BankReader reader;
    QuestionLines lines;
    if (!reader.readQuestionLines(path, lines)) {
        error = bankFailureText(reader.failure());
        return false;
    }
    bank = {path, std::move(lines), QFileInfo(path).lastModified()};
    return true;
}

// The file is read once and what was read is both checked and copied, so a
// file that changes meanwhile cannot slip in unchecked.
bool install(const QString &source, LoadedBank &installed, QString &error)
{
    BankReader reader;
    QByteArray bytes;
    if (!reader.readFileBytes(source, bytes)) {
        error = bankFailureText(reader.failure());
        return false;
    }
    QuestionLines lines;
    try {
        QByteArray plain = bytes;
        BankFile::cipherInMemory(plain);
        lines = QuestionLines::fromPlainBank(plain);
    } catch (const std::bad_alloc &) {
        BankFailure failure;
        failure.kind = BankFailure::Kind::OutOfMemory;
        failure.path = source;
        failure.size = bytes.size();
        error = bankFailureText(failure);
        return false;
    }
    if (lines.pairCount() == 0) {
        error = QStringLiteral("题库文件“%1”里没有一道题和它的答案，没有安装。").arg(QDir::toNativeSeparators(source));
        return false;
    }
    if (!QDir().mkpath(PlayerSettings::dataFolder())) {
        error = QStringLiteral("无法建立文件夹“%1”。").arg(QDir::toNativeSeparators(PlayerSettings::dataFolder()));
        return false;
    }
    if (!keepPrevious(error) || !writeWhole(ownBankPath(), bytes, error))
        return false;
    installed = {ownBankPath(), std::move(lines), QFileInfo(ownBankPath()).lastModified()};
    return true;
}

} // namespace PlayerBank
