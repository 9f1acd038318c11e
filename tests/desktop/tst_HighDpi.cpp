#include "ui/ControlLayout.h"
#include "ui/Form1.h"
#include "ui/StartUp.h"

#include <QImage>
#include <QLabel>
#include <QTabWidget>
#include <QTest>
#include <QWindow>

// On a screen scaled by 2 (CTest sets QT_SCALE_FACTOR=2) the window has
// twice the pixels each way, shows its pictures from their @2x files, pixel
// for pixel, and keeps every control where the layout puts it.
class TestHighDpi : public QObject
{
    Q_OBJECT

public:
    // The browser's plugin is loaded before the application object, as the window loads it.
    static void initMain() { StartUp::prepareBrowser(); }

private:
    Form1 form;

private slots:
    void initTestCase()
    {
        QCOMPARE(qApp->devicePixelRatio(), 2.0);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
    }

    void windowHasTwiceThePixels()
    {
        QCOMPARE(form.windowHandle()->size() * form.windowHandle()->devicePixelRatio(), QSize(962, 626));
    }

    void controlsStayWhereTheLayoutPutsThem()
    {
        for (const ControlLayout::ControlSpec &row : ControlLayout::controls()) {
            form.SSTab1()->setCurrentIndex(row.tab);
            const auto *control = form.findChild<QWidget *>(row.name.toString());
            QVERIFY(control);
            const QRect placed(control->mapTo(&form, QPoint(0, 0)), control->size());
            QCOMPARE(placed, row.rect);
        }
        form.SSTab1()->setCurrentIndex(1);
    }

    void picturesComeFromTheirDoubledFiles()
    {
        for (const char *name : {"Image1", "Image2", "Image3"}) {
            const auto *picture = form.findChild<QLabel *>(QLatin1String(name));
            const QPixmap pixmap = picture->pixmap();
            QCOMPARE(pixmap.devicePixelRatio(), 2.0);
            QCOMPARE(pixmap.size(), QSize(966, 578));
            QCOMPARE(pixmap.deviceIndependentSize().toSize(), QSize(483, 289));
        }
    }

    // Beside the logo nothing covers the picture: the window shows the @2x
    // file's pixels there unscaled.
    void pictureIsShownPixelForPixel()
    {
        const QImage shown = form.grab().toImage();
        QCOMPARE(shown.size(), QSize(962, 626));
        const QImage doubled = QImage(QStringLiteral(":/background@2x.jpg")).convertToFormat(shown.format());
        const QRect logo(QPoint(820, 60), QSize(40, 40)); // device pixels of the window
        const QPoint pictureOrigin(0, 48);                // the picture starts under the tab strip
        QCOMPARE(shown.copy(logo), doubled.copy(logo.translated(-pictureOrigin)));
    }
};

QTEST_MAIN(TestHighDpi)
#include "tst_HighDpi.moc"
