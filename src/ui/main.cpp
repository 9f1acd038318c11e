#include "bank/BankFile.h"
#include "ui/ControlLayout.h"
#include "ui/Form1.h"
#include "ui/StartUp.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (!StartUp::displayAvailable()) {
        std::fputs("vellmar-quiz: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set)\n", stderr);
        return 1;
    }
    StartUp::XDisplayProbe display;
    if (!display.problem().isEmpty()) {
        std::fprintf(stderr, "vellmar-quiz: %s\n", qUtf8Printable(display.problem()));
        return 1;
    }
    StartUp::allowBrowserWithoutSandboxWhenRoot();

    QApplication app(argc, argv);
    display.release();
    app.setWindowIcon(QIcon(QStringLiteral(":/icon.ico")));
    Form1 form;
    QString error;
    if (!StartUp::run(form, BankFile::DataPath(QCoreApplication::applicationDirPath()), error)) {
        std::fprintf(stderr, "vellmar-quiz: %s\n", qUtf8Printable(error));
        QMessageBox::critical(&form, ControlLayout::WindowTitle.toString(), StartUp::failureMessage(error));
        return 1;
    }
    return app.exec();
}
