#include "browser/EngineFootprint.h"
#include "browser/EngineStart.h"
#include "platform/ProgramPlugin.h"

#include <QFile>
#include <QQuickWindow>
#include <QTest>

class TestEngineFootprint : public QObject
{
    Q_OBJECT

public:
    // As a user might have it: flags of their own, no choice of OpenGL
    // integration, and (as CTest runs the tests) no sandbox.
    static void initMain()
    {
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--user-flag");
        qunsetenv("QT_XCB_GL_INTEGRATION");
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        EngineFootprint::applyBeforeStart();
        EngineStart::prepareBeforeApplication();
    }

private slots:
    void userFlagsStayAndZygoteGoesOnlyWithoutSandbox_data()
    {
        QTest::addColumn<QByteArray>("user");
        QTest::addColumn<bool>("sandboxOff");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("nothing, sandboxed") << QByteArray() << false << QByteArray();
        QTest::newRow("nothing, no sandbox") << QByteArray() << true << QByteArray("--no-zygote");
        QTest::newRow("user's, sandboxed") << QByteArray(" --a  --b=1 ") << false << QByteArray("--a --b=1");
        QTest::newRow("user's, no sandbox") << QByteArray("--a") << true << QByteArray("--a --no-zygote");
        QTest::newRow("user turns the sandbox off")
            << QByteArray("--no-sandbox") << false << QByteArray("--no-sandbox --no-zygote");
        QTest::newRow("user's own no-zygote") << QByteArray("--no-zygote --a") << true << QByteArray("--no-zygote --a");
        QTest::newRow("a longer switch is another")
            << QByteArray("--no-zygote-sandbox") << true << QByteArray("--no-zygote-sandbox --no-zygote");
    }

    void userFlagsStayAndZygoteGoesOnlyWithoutSandbox()
    {
        QFETCH(QByteArray, user);
        QFETCH(bool, sandboxOff);
        QFETCH(QByteArray, expected);
        QCOMPARE(EngineFootprint::engineFlags(user, sandboxOff), expected);
    }

    void engineStartsWithTheSettingsAndLeavesTheUsersEnvironment()
    {
        QCOMPARE(QQuickWindow::sceneGraphBackend(), QStringLiteral("software"));
        QCOMPARE(qgetenv("QT_XCB_GL_INTEGRATION"), QByteArray("none"));
        QCOMPARE(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), QByteArray("--user-flag --no-zygote"));
        // The build's page process, found beside the tests as beside the window.
        QCOMPARE(qgetenv("QTWEBENGINEPROCESS_PATH"), QFile::encodeName(ProgramPlugin::besideProgram("plugins/vellmar-renderer")));

        EngineStart::start();
        EngineFootprint::giveEnvironmentBack();
        QVERIFY(!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"));
        QCOMPARE(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), QByteArray("--user-flag"));
        QVERIFY(!qEnvironmentVariableIsSet("QTWEBENGINEPROCESS_PATH"));
    }
};

QTEST_MAIN(TestEngineFootprint)
#include "tst_EngineFootprint.moc"
