#include "ProgramRun.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Every path the package holds besides its folders.
const QStringList PackageFiles = {
    "./usr/bin/vellmar-bank",
    "./usr/bin/vellmar-quiz -> ../lib/vellmar-quiz/vellmar-quiz",
    "./usr/lib/vellmar-quiz/data.dat",
    "./usr/lib/vellmar-quiz/plugins/vellmar-browser-pane.so",
    "./usr/lib/vellmar-quiz/plugins/vellmar-renderer",
    "./usr/lib/vellmar-quiz/plugins/vellmar-text-recogniser.so",
    "./usr/lib/vellmar-quiz/vellmar-quiz",
    "./usr/share/applications/vellmar-quiz.desktop",
    "./usr/share/doc/vellmar-quiz/changelog.gz",
    "./usr/share/doc/vellmar-quiz/copyright",
    "./usr/share/icons/hicolor/128x128/apps/vellmar-quiz.png",
    "./usr/share/icons/hicolor/16x16/apps/vellmar-quiz.png",
    "./usr/share/icons/hicolor/22x22/apps/vellmar-quiz.png",
    "./usr/share/icons/hicolor/24x24/apps/vellmar-quiz.png",
    "./usr/share/icons/hicolor/256x256/apps/vellmar-quiz.png",
    "./usr/share/icons/hicolor/32x32/apps/vellmar-quiz.png",
    "./usr/share/icons/hicolor/48x48/apps/vellmar-quiz.png",
    "./usr/share/icons/hicolor/64x64/apps/vellmar-quiz.png",
    "./usr/share/man/man1/vellmar-bank.1.gz",
    "./usr/share/man/man1/vellmar-quiz.1.gz",
    "./usr/share/metainfo/example.vellmar.quiz.metainfo.xml",
};

// `dpkg-deb --contents` lines, owner and path (with a link's target), folders left out.
QStringList filesOf(const QString &listing, QStringList *owners)
{
    QStringList files;
    for (const QString &line : listing.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(u' ', Qt::SkipEmptyParts);
        if (fields.size() < 6 || line.startsWith(u'd'))
            continue;
        owners->append(fields.at(1));
        files.append(fields.mid(5).join(u' '));
    }
    return files;
}

} // namespace

// Builds the Debian package from this build, as `make package` does, and
// checks what it holds, what it depends on and what Debian's checker says.
class TestPackage : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir output;
    QString package;

private slots:
    void initTestCase()
    {
        QVERIFY(output.isValid());
        const ProgramRun cpack = runProgram(qEnvironmentVariable("VELLMAR_CPACK"),
                                      {QStringLiteral("--config"), qEnvironmentVariable("VELLMAR_CPACK_CONFIG"),
                                       QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("-B"), output.path()});
        QVERIFY2(cpack.succeeded(), qPrintable(cpack.all()));
        const QStringList debs = QDir(output.path()).entryList({QStringLiteral("vellmar-quiz_*.deb")}, QDir::Files);
        QCOMPARE(debs.size(), 1);
        package = output.filePath(debs.first());
        QVERIFY2(debs.first().startsWith(QStringLiteral("vellmar-quiz_%1_").arg(qEnvironmentVariable("VELLMAR_VERSION"))),
                 qPrintable(debs.first()));
    }

    void holdsTheInstalledLayout()
    {
        const ProgramRun contents = runProgram(QStringLiteral("dpkg-deb"), {QStringLiteral("--contents"), package});
        QVERIFY2(contents.succeeded(), qPrintable(contents.all()));
        QStringList owners;
        QCOMPARE(filesOf(contents.out, &owners), PackageFiles);
        owners.removeDuplicates();
        QCOMPARE(owners, QStringList{QStringLiteral("root/root")});
    }

    void dependsOnAFontAndQtsChineseTexts()
    {
        const ProgramRun depends = runProgram(QStringLiteral("dpkg-deb"),
                                        {QStringLiteral("--field"), package, QStringLiteral("Depends")});
        QVERIFY2(depends.succeeded(), qPrintable(depends.all()));
        for (const char *needed : {"fonts-wqy-microhei | fonts-noto-cjk", "qt6-translations-l10n",
                                   "libqt6webenginewidgets6", "libqt6webenginecore6-bin", "libc6",
                                   "tesseract-ocr-chi-sim", "libtesseract5", "libqt6dbus6"})
            QVERIFY2(depends.out.contains(QLatin1String(needed)), qPrintable(depends.out));
        const ProgramRun maintainer = runProgram(QStringLiteral("dpkg-deb"),
                                           {QStringLiteral("--field"), package, QStringLiteral("Maintainer")});
        QCOMPARE(maintainer.out.trimmed(), QStringLiteral("Orvendel <orvendel@vellmar.example>"));
    }

    void lintianFindsNoErrorsOrWarnings()
    {
        const ProgramRun lintian = runProgram(QStringLiteral("lintian"),
                                        {QStringLiteral("--fail-on"), QStringLiteral("error,warning"), package}, 300000);
        QVERIFY2(lintian.succeeded(), qPrintable(lintian.all()));
    }
};

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_Package.moc"
