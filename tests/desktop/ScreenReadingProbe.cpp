// The window beside a "game" window that shows a question, on a real X
// display: the area is marked on the overlay, the hot key reads it. Driven
// by the desktop test and the benchmark through lines on stdin and stdout:
//
//   out: game X Y W H        where the question is shown, once the overlay is up
//   out: ready X Y W H       instead, with --marked: the area the settings hold
//   out: nomarker            the overlay did not come up (the reason follows as a problem)
//   out: marked X Y W H      the area the player dragged
//   out: problem TEXT        what the window says in labtip when it cannot read
//   out: painted MS\tQ\tTIP  lQ painted after a reading: ms since the hot key, first row, tip
//   out: menu shown          a menu popped up
//   out: dialog ready        a dialog appeared and its key field has the focus
//   out: dialog hidden       the dialog went
//   in:  say TEXT            the game shows another question
//   in:  watch               the watch mode is turned on
//   in:  overlay X Y         out: overlay R G B, the overlay's colour at that point of the screen
//   in:  drag X Y W H        the mouse drags that area on the overlay
//   in:  read                the button 读屏 is pressed
//   in:  where read          out: where X Y, the middle of 读屏 on the screen
//   in:  tooltip             out: tooltip TEXT, 读屏's tip, its lines joined by " | "
//   in:  message             out: message TEXT, what the open dialog tells ("none" without one)
//   in:  shot FILE           the whole screen is saved as a PNG
//   in:  rss                 out: rss KB, the resident memory
//   in:  quit

#include "bank/BankReader.h"
#include "screen/ScreenReading.h"
#include "ui/Form1.h"
#include "ui/StartUp.h"
#include "ui/ScreenReadingPanel.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSocketNotifier>
#include <QTest>

#include <cstdio>

namespace {

void say(const QString &line)
{
    std::fputs(qUtf8Printable(line + u'\n'), stdout);
    std::fflush(stdout);
}

QString residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return QStringLiteral("-1");
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return QString::fromLatin1(line.mid(6).trimmed().split(' ').first());
    return QStringLiteral("-1");
}

// A question as a game shows it: white on a dark gradient, in a window of its own.
class GameWindow : public QWidget
{
public:
    explicit GameWindow(QString question) : m_question(std::move(question))
    {
        setWindowFlags(Qt::FramelessWindowHint);
        setWindowTitle(QStringLiteral("game"));
        setGeometry(40, 420, 600, 90);
    }
    void setQuestion(const QString &question)
    {
        m_question = question;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QLinearGradient gradient(0, 0, width(), height());
        gradient.setColorAt(0, QColor(0x1C, 0x2A, 0x48));
        gradient.setColorAt(1, QColor(0x3A, 0x10, 0x18));
        painter.fillRect(rect(), gradient);
        QFont font(QStringLiteral("WenQuanYi Micro Hei"));
        font.setPixelSize(20);
        painter.setFont(font);
        painter.setPen(QColor(0, 0, 0, 200));
        painter.drawText(rect().translated(1, 1), Qt::AlignCenter, m_question);
        painter.setPen(Qt::white);
        painter.drawText(rect(), Qt::AlignCenter, m_question);
    }

private:
    QString m_question;
};

// Tells when lQ is painted after a reading filled it.
class PaintWatch : public QObject
{
public:
    QElapsedTimer sinceHotKey;
    bool filled = false;
    QListWidget *list = nullptr;
    QLabel *tip = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && filled) {
            filled = false;
            const double ms = double(sinceHotKey.nsecsElapsed()) / 1e6;
            say(QStringLiteral("painted %1\t%2\t%3").arg(ms, 0, 'f', 1).arg(list->count() ? list->item(0)->text() : QString(), tip->text()));
        }
        return QObject::eventFilter(watched, event);
    }
};

// The player's drag over `area` ("X Y W H" on the screen), as the overlay receives it.
void dragOn(QWidget &marker, const QString &area)
{
    const QStringList numbers = area.split(u' ');
    const QRect dragged(numbers.value(0).toInt(), numbers.value(1).toInt(), numbers.value(2).toInt(), numbers.value(3).toInt());
    const QPoint from = marker.mapFromGlobal(dragged.topLeft());
    const QPoint to = marker.mapFromGlobal(dragged.topLeft() + QPoint(dragged.width(), dragged.height()));
    QTest::mousePress(&marker, Qt::LeftButton, {}, from);
    QTest::mouseMove(&marker, (from + to) / 2);
    QTest::mouseMove(&marker, to);
    QTest::mouseRelease(&marker, Qt::LeftButton, {}, to);
}

// Tells when a menu or a dialog appears, when the dialog goes, and what its
// message line says.
class DialogWatch : public QObject
{
public:
    DialogWatch()
    {
        // Once the key field has the focus it has the keyboard too.
        QObject::connect(qApp, &QApplication::focusChanged, this, [](QWidget *, QWidget *now) {
            if (qobject_cast<QKeySequenceEdit *>(now))
                say(QStringLiteral("dialog ready"));
        });
    }

    QString message() const
    {
        const QDialog *open = qobject_cast<const QDialog *>(QApplication::activeModalWidget());
        if (!open)
            return QStringLiteral("none");
        for (const QLabel *label : open->findChildren<QLabel *>())
            if (label->accessibleName() == QStringLiteral("热键说明"))
                return label->text();
        return QString();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (qobject_cast<QMenu *>(watched) && event->type() == QEvent::Show)
            say(QStringLiteral("menu shown"));
        if (qobject_cast<QDialog *>(watched) && event->type() == QEvent::Hide)
            say(QStringLiteral("dialog hidden"));
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    // The browser's plugin is loaded before the application object, as the window loads it.
    StartUp::prepareBrowser();
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fputs("usage: screen-reading-probe BANK QUESTION [--marked]\n", stderr);
        return 2;
    }
    const bool marked = argc > 3 && qstrcmp(argv[3], "--marked") == 0;
    Form1 form;
    QuestionLines lines;
    BankReader reader;
    if (!reader.readQuestionLines(QString::fromLocal8Bit(argv[1]), lines))
        return 2;
    form.setQuestionLines(std::move(lines));
    GameWindow game(QString::fromLocal8Bit(argv[2]));
    game.show();
    form.move(700, 40);
    form.show();
    if (!QTest::qWaitForWindowExposed(&game, 10000) || !QTest::qWaitForWindowExposed(&form, 10000))
        return 3;
    QTest::qWait(300);

    ScreenReading &reading = *form.screenReading();
    PaintWatch paints;
    paints.list = form.lQ();
    paints.tip = form.labtip();
    form.lQ()->viewport()->installEventFilter(&paints);
    QObject::connect(&reading.hotKey(), &GlobalHotKey::activated, [&] { paints.sinceHotKey.start(); });
    QObject::connect(&reading, &ScreenReading::read, [&] {
        if (!paints.sinceHotKey.isValid())
            paints.sinceHotKey.start();
        paints.filled = true;
    });
    bool refused = false;
    QObject::connect(&reading, &ScreenReading::problem, [&refused](const QString &message) {
        refused = true;
        say(QStringLiteral("problem ") + message);
    });

    DialogWatch dialogs;
    app.installEventFilter(&dialogs);

    if (marked) {
        const QRect area = reading.settings().area(*QGuiApplication::primaryScreen());
        say(QStringLiteral("ready %1 %2 %3 %4").arg(area.x()).arg(area.y()).arg(area.width()).arg(area.height()));
    } else {
        // Under Wayland the overlay waits for the desktop portal's shot.
        reading.markArea();
        if (QTest::qWaitFor([&] { return reading.marker() != nullptr || refused; }, 20000) && reading.marker()) {
            QObject::connect(reading.marker(), &AreaMarker::marked, [](const QRect &area) {
                say(QStringLiteral("marked %1 %2 %3 %4").arg(area.x()).arg(area.y()).arg(area.width()).arg(area.height()));
            });
            if (!QTest::qWaitForWindowExposed(reading.marker(), 10000))
                return 3;
            const QRect shown = game.geometry();
            say(QStringLiteral("game %1 %2 %3 %4").arg(shown.x()).arg(shown.y()).arg(shown.width()).arg(shown.height()));
        } else {
            say(QStringLiteral("nomarker"));
        }
    }

    QFile standardInput;
    if (!standardInput.open(stdin, QIODevice::ReadOnly | QIODevice::Unbuffered))
        return 5;
    QByteArray pending;
    const auto obey = [&](const QString &line) {
        if (line.startsWith(QStringLiteral("say "))) {
            game.setQuestion(line.mid(4));
        } else if (line == QStringLiteral("watch")) {
            form.screenPanel()->watchButton()->setChecked(true);
        } else if (line.startsWith(QStringLiteral("overlay ")) && reading.marker()) {
            const QStringList at = line.split(u' ');
            const QPoint point = reading.marker()->mapFromGlobal(QPoint(at.value(1).toInt(), at.value(2).toInt()));
            const QColor colour = reading.marker()->grab().toImage().pixelColor(point);
            say(QStringLiteral("overlay %1 %2 %3").arg(colour.red()).arg(colour.green()).arg(colour.blue()));
        } else if (line.startsWith(QStringLiteral("drag ")) && reading.marker()) {
            dragOn(*reading.marker(), line.mid(5));
        } else if (line == QStringLiteral("read")) {
            form.screenPanel()->readButton()->click();
        } else if (line == QStringLiteral("where read")) {
            const QPushButton *button = form.screenPanel()->readButton();
            const QPoint middle = button->mapToGlobal(button->rect().center());
            say(QStringLiteral("where %1 %2").arg(middle.x()).arg(middle.y()));
        } else if (line == QStringLiteral("tooltip")) {
            say(QStringLiteral("tooltip ") + form.screenPanel()->readButton()->toolTip().replace(u'\n', QStringLiteral(" | ")));
        } else if (line == QStringLiteral("message")) {
            say(QStringLiteral("message ") + dialogs.message());
        } else if (line.startsWith(QStringLiteral("shot "))) {
            QGuiApplication::primaryScreen()->grabWindow(0).save(line.mid(5));
            say(QStringLiteral("shot"));
        } else if (line == QStringLiteral("rss")) {
            say(QStringLiteral("rss ") + residentKilobytes());
        } else if (line == QStringLiteral("quit")) {
            app.quit();
        }
    };
    // Several lines may come in one read; each is obeyed in turn.
    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[4096];
        const qint64 got = standardInput.read(buffer, sizeof buffer);
        if (got <= 0) {
            app.quit();
            return;
        }
        pending.append(buffer, got);
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            obey(QString::fromUtf8(pending.first(end)).trimmed());
            pending.remove(0, end + 1);
        }
    });
    return app.exec();
}
