#include "browser/PageOpener.h"
#include "browser/WebAddresses.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {

constexpr int Timeout = 20000;

// Puts a stand-in xdg-open, which records its arguments, first on the PATH.
QString installRecordingXdgOpen(const QTemporaryDir &dir)
{
    const QString record = dir.filePath(QStringLiteral("opened.txt"));
    QFile script(dir.filePath(QStringLiteral("xdg-open")));
    if (!script.open(QIODevice::WriteOnly))
        qFatal("cannot write the stand-in xdg-open");
    script.write("#!/bin/sh\nfor arg in \"$@\"; do printf '%s\\n' \"$arg\"; done >> '" + record.toUtf8() + "'\n");
    script.close();
    script.setPermissions(script.permissions() | QFile::ExeOwner);
    qputenv("PATH", dir.path().toUtf8() + ':' + qgetenv("PATH"));
    return record;
}

// The lines recorded, in order: each page has an opener process of its
// own, and a busy machine may finish the second first.
QByteArrayList sortedLines(const QString &path)
{
    QFile file(path);
    QByteArrayList lines = file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QByteArrayList();
    lines.removeAll(QByteArray());
    std::sort(lines.begin(), lines.end());
    return lines;
}

} // namespace

class TestPageOpener : public QObject
{
    Q_OBJECT

private slots:
    // Under a desktop the address goes, unchanged and as the only argument,
    // to the desktop's opener; where pages cannot be opened at all (the
    // offscreen platform), the failure is reported, not fatal.
    void defaultHandsTheAddressToTheDesktop()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString record = installRecordingXdgOpen(dir);
        const bool desktop = QGuiApplication::platformName() != QLatin1String("offscreen");

        const PageOpener opener;
        QCOMPARE(opener.open(QUrl(WebAddresses::ForumThread)), desktop);
        QCOMPARE(opener.open(QUrl(WebAddresses::SectionHomePage)), desktop);
        if (!desktop)
            return;
        QByteArrayList expected{WebAddresses::ForumThread, WebAddresses::SectionHomePage};
        std::sort(expected.begin(), expected.end());
        QTRY_COMPARE_WITH_TIMEOUT(sortedLines(record), expected, Timeout);
    }
};

QTEST_MAIN(TestPageOpener)
#include "tst_PageOpener.moc"
