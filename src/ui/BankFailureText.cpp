#include "ui/BankFailureText.h"

#include <QDir>

#include <cerrno>

namespace {

using Kind = BankFailure::Kind;

// The causes a user can mend; the rest in the system's words.
struct ChineseCause
{
    int errorNumber;
    const char16_t *text;
};

constexpr ChineseCause ChineseCauses[] = {
    {EACCES, u"没有读取权限"},
    {EPERM, u"操作不被允许"},
    {ELOOP, u"符号链接太多层，或者形成了循环"},
    {ENOTDIR, u"路径中有一段不是文件夹"},
    {ENAMETOOLONG, u"路径太长"},
    {EIO, u"输入输出错误"},
};

QString cause(const BankFailure &failure)
{
    if (failure.errorNumber == 0)
        return failure.systemText;
    for (const ChineseCause &known : ChineseCauses) {
        if (known.errorNumber == failure.errorNumber)
            return QString::fromUtf16(known.text);
    }
    return FileSystem::errorText(failure.errorNumber);
}

QString fileKindWords(FileSystem::Kind kind)
{
    switch (kind) {
    case FileSystem::Kind::Fifo:
        return QStringLiteral("命名管道");
    case FileSystem::Kind::CharacterDevice:
        return QStringLiteral("字符设备");
    case FileSystem::Kind::BlockDevice:
        return QStringLiteral("块设备");
    case FileSystem::Kind::Socket:
        return QStringLiteral("套接字");
    default:
        return QStringLiteral("特殊文件");
    }
}

} // namespace

QString bankFailureText(const BankFailure &failure)
{
    const QString path = QDir::toNativeSeparators(failure.path);
    switch (failure.kind) {
    case Kind::None:
        return {};
    case Kind::NoCodePage:
        return QStringLiteral("无法解读题库文件“%1”：此 Qt 没有 GBK（代码页 936）转换器。").arg(path);
    case Kind::Missing:
        return QStringLiteral("找不到题库文件“%1”。").arg(path);
    case Kind::Folder:
        return QStringLiteral("题库文件“%1”是一个文件夹，不是文件。").arg(path);
    case Kind::CannotOpen:
        return QStringLiteral("无法读取题库文件“%1”：%2").arg(path, cause(failure));
    case Kind::TooLarge:
        return QStringLiteral("题库文件“%1”太大（%2 字节），无法载入：题库最多 2147483647 字节。").arg(path, QString::number(failure.size));
    case Kind::ReadFailed:
        return QStringLiteral("读取题库文件“%1”时出错：%2").arg(path, cause(failure));
    case Kind::Empty:
        return QStringLiteral("题库文件“%1”是空的（0 字节）。").arg(path);
    case Kind::NotRegular:
        return QStringLiteral("题库文件“%1”不是普通文件，而是%2，无法载入。").arg(path, fileKindWords(failure.fileKind));
    case Kind::OutOfMemory:
        return QStringLiteral("内存不足，无法载入题库文件“%1”（%2 字节）。").arg(path, QString::number(failure.size));
    case Kind::BankTooLarge:
    case Kind::OutputExists:
    case Kind::OutputBrokenLink:
    case Kind::CannotCreateIn:
    case Kind::CannotWrite:
    case Kind::StandardOutputFailed:
        break; // the window writes no bank
    }
    return QStringLiteral("无法载入题库文件“%1”。").arg(path);
}
