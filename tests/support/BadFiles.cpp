#include "BadFiles.h"

#include "TestFiles.h"

#include "platform/Platform.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t NobodyId = 65534;
constexpr qint64 HugeBytes = qint64(3) << 30;
constexpr qint64 OneByteTooMany = qint64(1) << 31;

void makeSparse(const QString &path, qint64 size)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
    QVERIFY2(file.resize(size), qPrintable(file.errorString()));
}

} // namespace

const QList<BadFileCase> &badFileCases()
{
    static const QList<BadFileCase> cases = {
        {"missing", BadFile::Missing, QStringLiteral("找不到"), QStringLiteral("no such file")},
        {"empty", BadFile::Empty, QStringLiteral("是空的"), QStringLiteral("empty (0 bytes)")},
        {"folder", BadFile::Folder, QStringLiteral("是一个文件夹"), QStringLiteral("is a folder")},
        {"unreadable", BadFile::Unreadable, QStringLiteral("没有读取权限"), QStringLiteral("cannot read: Permission denied")},
        {"FIFO", BadFile::Fifo, QStringLiteral("不是普通文件，而是命名管道"), QStringLiteral("not a regular file but a FIFO")},
        {"link to /dev/zero", BadFile::DeviceLink, QStringLiteral("不是普通文件，而是字符设备"),
         QStringLiteral("not a regular file but a character device")},
        {"link loop", BadFile::LinkLoop, QStringLiteral("循环"), QStringLiteral("Too many levels of symbolic links")},
        {"sparse 3 GiB", BadFile::Huge, QStringLiteral("太大（3221225472 字节）"), QStringLiteral("too large to load (3221225472 bytes")},
        {"one byte too large", BadFile::OneByteTooLarge, QStringLiteral("太大（2147483648 字节）"),
         QStringLiteral("too large to load (2147483648 bytes")},
    };
    return cases;
}

void makeBadFile(BadFile kind, const QString &path)
{
    const QByteArray nativePath = QFile::encodeName(path);
    switch (kind) {
    case BadFile::Missing:
        break;
    case BadFile::Empty:
        writeFile(path, {});
        break;
    case BadFile::Folder:
        QVERIFY(QDir().mkpath(path));
        break;
    case BadFile::Unreadable:
        writeFile(path, "q\r\na");
        QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
        break;
    case BadFile::Fifo:
        QCOMPARE(mkfifo(nativePath.constData(), 0644), 0);
        break;
    case BadFile::DeviceLink:
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        break;
    case BadFile::LinkLoop:
        QVERIFY(QFile::link(path + QStringLiteral(".other"), path));
        QVERIFY(QFile::link(path, path + QStringLiteral(".other")));
        break;
    case BadFile::Huge:
        makeSparse(path, HugeBytes);
        break;
    case BadFile::OneByteTooLarge:
        makeSparse(path, OneByteTooMany);
        break;
    }
}

void dropFileAccessOverride()
{
    if (!Platform::runsAsRoot())
        return;
    // Root's powers after exec are its bounding set; without these two it meets file permissions.
    prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
    prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
}

AsUnprivilegedUser::AsUnprivilegedUser()
{
    if (Platform::runsAsRoot())
        m_switched = seteuid(NobodyId) == 0;
}

AsUnprivilegedUser::~AsUnprivilegedUser()
{
    if (m_switched && seteuid(0) != 0)
        qFatal("cannot return to root");
}
