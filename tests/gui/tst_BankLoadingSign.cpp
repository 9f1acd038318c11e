#include "TestBanks.h"

#include "ui/BankLoadingSign.h"
#include "ui/Form1.h"
#include "ui/StartUp.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

namespace {

const QString StartTip = QStringLiteral("请输入2个汉字或4个字母以上");

// What the tip line showed each time it was painted, and how things stood then.
struct PaintedTip
{
    QString text;
    bool busyCursor;
    bool bankLoaded;
    bool windowExposed; // else the display shows none of it
};

class TipPaintRecorder : public QObject
{
public:
    explicit TipPaintRecorder(Form1 &form)
        : m_form(form)
    {
        form.labtip()->installEventFilter(this);
    }

    QList<PaintedTip> painted;

    bool paintedWhileLoading() const
    {
        return std::any_of(painted.begin(), painted.end(), [](const PaintedTip &tip) {
            return tip.text == BankLoadingSign::LoadingTip && tip.busyCursor && !tip.bankLoaded && tip.windowExposed;
        });
    }

    bool everShowedTheSign() const
    {
        return std::any_of(painted.begin(), painted.end(), [](const PaintedTip &tip) {
            return tip.text == BankLoadingSign::LoadingTip || tip.busyCursor;
        });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            const QCursor *cursor = QGuiApplication::overrideCursor();
            const QWindow *window = m_form.windowHandle();
            painted << PaintedTip{m_form.labtip()->text(), cursor && cursor->shape() == Qt::WaitCursor,
                                  !m_form.questionLines().isEmpty(), window && window->isExposed()};
        }
        return QObject::eventFilter(watched, event);
    }

private:
    Form1 &m_form;
};

// A bank of at least `bytes` bytes.
QString writeBankOfSize(const QTemporaryDir &dir, qint64 bytes)
{
    QStringList lines;
    const QString question = QStringLiteral("中国的首都是哪座城市？第%1题-zgdsdsnzcs%1");
    qint64 written = 0;
    for (int pair = 0; written < bytes; ++pair) {
        lines << question.arg(pair) << QStringLiteral("北京");
        written += 48;
    }
    const QString path = dir.filePath(QStringLiteral("data.dat"));
    writeBankFile(path, lines);
    return path;
}

} // namespace

// The start-up shows that a large bank is loading while the window can paint
// nothing else, and shows nothing for a small one.
class TestBankLoadingSign : public QObject
{
    Q_OBJECT

public:
    // The browser's plugin is loaded before the application object, as the window loads it.
    static void initMain() { StartUp::prepareBrowser(); }

private:
    QTemporaryDir dir;

private slots:
    void largeBankShowsTheSignWhileItLoads()
    {
        const QString bank = writeBankOfSize(dir, BankLoadingSign::LargeBankBytes);
        QVERIFY(QFileInfo(bank).size() >= BankLoadingSign::LargeBankBytes);
        Form1 form;
        TipPaintRecorder recorder(form);
        QString error;
        QVERIFY2(StartUp::run(form, bank, error), qPrintable(error));

        // Painted with the busy cursor up before the load, and all gone after it.
        QVERIFY(recorder.paintedWhileLoading());
        QVERIFY(!form.questionLines().isEmpty());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        QCOMPARE(form.labtip()->text(), StartTip);
    }

    void smallBankShowsNothing()
    {
        const QString bank = writeBankOfSize(dir, BankLoadingSign::LargeBankBytes / 4);
        Form1 form;
        TipPaintRecorder recorder(form);
        QString error;
        QVERIFY2(StartUp::run(form, bank, error), qPrintable(error));
        QVERIFY(!recorder.everShowedTheSign());
        QTRY_VERIFY(!recorder.painted.isEmpty()); // the start tip, once the window is exposed
        QVERIFY(!recorder.everShowedTheSign());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    // The sign goes when the load fails, too: here a bank too large to
    // load (a sparse file, which takes no room on the disk).
    void signGoesWhenTheLoadFails()
    {
        const QString bank = dir.filePath(QStringLiteral("huge.dat"));
        QFile huge(bank);
        QVERIFY(huge.open(QIODevice::WriteOnly));
        QVERIFY(huge.resize(qint64(1) << 31));
        huge.close();
        Form1 form;
        TipPaintRecorder recorder(form);
        QString error;
        QVERIFY(!StartUp::run(form, bank, error));
        QVERIFY(recorder.paintedWhileLoading());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        QCOMPARE(form.labtip()->text(), StartTip);
    }
};

QTEST_MAIN(TestBankLoadingSign)
#include "tst_BankLoadingSign.moc"
