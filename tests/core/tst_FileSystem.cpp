#include "TestFiles.h"

#include "platform/FileSystem.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using FileSystem::Kind;

// The file system seam on the real file system: what a path names, opening
// without blocking, and replacing a file without losing the old one.
class TestFileSystem : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir here;
    QString at(const char *name) const { return here.filePath(QString::fromLatin1(name)); }

private slots:
    void initTestCase()
    {
        writeFile(at("file"), "12345");
        QVERIFY(QFile::setPermissions(at("file"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
        QVERIFY(QDir().mkdir(at("folder")));
        QVERIFY(QFile::link(QStringLiteral("file"), at("link")));
        QVERIFY(QFile::link(QStringLiteral("nowhere"), at("dangling")));
        QCOMPARE(mkfifo(QFile::encodeName(at("fifo")).constData(), 0644), 0);
        QCOMPARE(link(QFile::encodeName(at("file")).constData(), QFile::encodeName(at("hard")).constData()), 0);
    }

    void statusTellsWhatAPathNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("errorNumber");
        QTest::addColumn<qint64>("size");
        QTest::newRow("regular file") << "file" << int(Kind::Regular) << 0 << qint64(5);
        QTest::newRow("link to it") << "link" << int(Kind::Regular) << 0 << qint64(5);
        QTest::newRow("folder") << "folder" << int(Kind::Folder) << 0 << qint64(-1);
        QTest::newRow("FIFO") << "fifo" << int(Kind::Fifo) << 0 << qint64(0);
        QTest::newRow("device") << "/dev/null" << int(Kind::CharacterDevice) << 0 << qint64(0);
        QTest::newRow("nothing") << "missing" << int(Kind::Missing) << ENOENT << qint64(0);
        QTest::newRow("link to nothing") << "dangling" << int(Kind::BrokenLink) << ENOENT << qint64(0);
        QTest::newRow("through a file") << "file/inside" << int(Kind::Unreachable) << ENOTDIR << qint64(0);
    }

    void statusTellsWhatAPathNames()
    {
        QFETCH(QString, name);
        QFETCH(int, kind);
        QFETCH(int, errorNumber);
        QFETCH(qint64, size);
        const FileSystem::Status status = FileSystem::status(QDir(here.path()).filePath(name));
        QCOMPARE(int(status.kind), kind);
        QCOMPARE(status.errorNumber, errorNumber);
        if (size >= 0)
            QCOMPARE(status.size, size);
    }

    void regularFileOpensForReading()
    {
        QFile file;
        const FileSystem::Status opened = FileSystem::openForReading(at("link"), file);
        QCOMPARE(opened.kind, Kind::Regular);
        QCOMPARE(opened.size, qint64(5));
        QVERIFY(file.isOpen());
        QCOMPARE(file.readAll(), QByteArray("12345"));
    }

    // A FIFO without a writer would block an ordinary open for good.
    void fifoIsNamedWithoutWaitingForAWriter()
    {
        QElapsedTimer timer;
        timer.start();
        QFile file;
        QCOMPARE(FileSystem::openForReading(at("fifo"), file).kind, Kind::Fifo);
        QVERIFY(!file.isOpen());
        QVERIFY(timer.elapsed() < 5000);
    }

    void whatCannotBeOpenedSaysWhy()
    {
        QFile file;
        const FileSystem::Status missing = FileSystem::openForReading(at("missing"), file);
        QCOMPARE(missing.kind, Kind::Missing);
        QCOMPARE(missing.errorNumber, ENOENT);
        QCOMPARE(FileSystem::openForReading(at("folder"), file).kind, Kind::Folder);
        QVERIFY(!file.isOpen());
    }

    void sameFileByAnyPath()
    {
        QVERIFY(FileSystem::sameFile(at("file"), at("file")));
        QVERIFY(FileSystem::sameFile(at("file"), here.path() + QStringLiteral("/folder/../file")));
        QVERIFY(FileSystem::sameFile(at("file"), at("link")));
        QVERIFY(FileSystem::sameFile(at("hard"), at("file")));
        QVERIFY(!FileSystem::sameFile(at("file"), at("folder")));
        QVERIFY(!FileSystem::sameFile(at("missing"), at("missing")));
    }

    // The new file takes the old one's place and its permissions; nothing else is left.
    void replaceKeepsPermissionsAndLeavesNoTemporary()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("out"));
        writeFile(path, "old");
        QCOMPARE(chmod(QFile::encodeName(path).constData(), 0604), 0);
        const FileSystem::WriteResult result = FileSystem::replaceFile(path, "new bytes", FileSystem::status(path));
        QCOMPARE(result.failure, FileSystem::WriteResult::Failure::None);
        QCOMPARE(readFile(path), QByteArray("new bytes"));
        struct stat info;
        QCOMPARE(stat(QFile::encodeName(path).constData(), &info), 0);
        QCOMPARE(info.st_mode & 07777, mode_t(0604));
        QCOMPARE(entriesOf(folder.path()), QStringList{"out"});
    }

    void replaceCreatesANewFile()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("new"));
        const FileSystem::WriteResult result = FileSystem::replaceFile(path, QByteArray(3 << 20, 'q'), FileSystem::status(path));
        QCOMPARE(result.failure, FileSystem::WriteResult::Failure::None);
        QCOMPARE(readFile(path), QByteArray(3 << 20, 'q'));
        QCOMPARE(entriesOf(folder.path()), QStringList{"new"});
    }

    void replaceInAMissingFolderCannotCreate()
    {
        const QString path = at("no folder/out");
        const FileSystem::WriteResult result = FileSystem::replaceFile(path, "bytes", FileSystem::status(path));
        QCOMPARE(result.failure, FileSystem::WriteResult::Failure::CannotCreate);
        QCOMPARE(result.errorNumber, ENOENT);
    }

    // The rename fails (a folder cannot be replaced by a file): the folder stays, the temporary goes.
    void failedRenameRemovesTheTemporary()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("taken"));
        QVERIFY(QDir().mkdir(path));
        const FileSystem::WriteResult result = FileSystem::replaceFile(path, "bytes", FileSystem::Status{});
        QCOMPARE(result.failure, FileSystem::WriteResult::Failure::CannotWrite);
        QCOMPARE(result.errorNumber, EISDIR);
        QCOMPARE(entriesOf(folder.path()), QStringList{"taken"});
        QVERIFY(QFileInfo(path).isDir());
    }

    void errorTextIsTheSystemsOwn()
    {
        QCOMPARE(FileSystem::errorText(ENOENT), QStringLiteral("No such file or directory"));
        QCOMPARE(FileSystem::errorText(ENOSPC), QStringLiteral("No space left on device"));
    }
};

QTEST_APPLESS_MAIN(TestFileSystem)
#include "tst_FileSystem.moc"
