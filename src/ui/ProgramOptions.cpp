#include "ui/ProgramOptions.h"

#include "Version.h"

#include <QStringList>

#include <cstdio>

namespace {

const char HelpText[] =
    "usage: vellmar-quiz [--bank FILE | --install-bank FILE] [--no-browser] [--version | --help]\n"
    "Opens the quiz window of Vellmar答题器. The bank is FILE with --bank, else the\n"
    "player's own bank (data.dat in the player's data folder, ~/.local/share/vellmar-quiz\n"
    "on Linux) where there is one, else data.dat from the program's folder.\n"
    "A window already open on this display takes over instead. See vellmar-quiz(1).\n"
    "\n"
    "  --bank FILE          use the bank FILE, for this run only\n"
    "  --install-bank FILE  load FILE, install it as the player's own bank, and use it\n"
    "                       (the one before is kept as data.dat.previous)\n"
    "  --no-browser         start without the browser engine (the 资料站 tab stays empty);\n"
    "                       browser=false in ~/.config/vellmar-quiz/settings.ini does the same\n"
    "  --help               print this help\n"
    "  --version            print the version\n"
    "\n"
    "Qt's own options (-platform NAME, -style NAME, -reverse, ...) are passed to Qt.\n";

// Qt's options that the window leaves to Qt, and those of them that take a value.
const QStringList QtValueOptions{"platform", "platformpluginpath", "platformtheme", "plugin", "style", "stylesheet",
                                 "session", "display", "geometry", "qwindowgeometry", "qwindowicon", "qwindowtitle",
                                 "title", "name", "qmljsdebugger"};
const QStringList QtFlags{"reverse", "sync", "nograb", "dograb", "widgetcount", "testability"};

ProgramOptions refuse(const QString &message)
{
    std::fprintf(stderr, "vellmar-quiz: %s (see vellmar-quiz --help)\n", qUtf8Printable(message));
    ProgramOptions refused;
    refused.exitStatus = 2;
    return refused;
}

ProgramOptions answered(const char *text)
{
    std::fputs(text, stdout);
    ProgramOptions answer;
    answer.exitStatus = 0;
    return answer;
}

// "-style" and "--style" name the same Qt option; "-style=fusion" carries its value.
QString qtOptionName(const QString &argument)
{
    QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    return name.section(u'=', 0, 0);
}

} // namespace

ProgramOptions ProgramOptions::parse(int argc, char *argv[])
{
    ProgramOptions options;
    for (int index = 1; index < argc; ++index) {
        const QString argument = QString::fromLocal8Bit(argv[index]);
        const QString name = argument.section(u'=', 0, 0);
        const bool takesFile = name == QLatin1String("--bank") || name == QLatin1String("--install-bank");
        if (takesFile) {
            QString file;
            if (argument.contains(u'='))
                file = argument.section(u'=', 1);
            else if (index + 1 < argc)
                file = QString::fromLocal8Bit(argv[++index]);
            if (file.isEmpty())
                return refuse(QStringLiteral("%1 needs a bank file").arg(name));
            (name == QLatin1String("--bank") ? options.bank : options.installBank) = file;
        } else if (argument == QLatin1String("--no-browser")) {
            options.noBrowser = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            return answered(HelpText);
        } else if (argument == QLatin1String("--version")) {
            return answered(qPrintable(QStringLiteral("vellmar-quiz %1\n").arg(QLatin1String(VellmarVersion))));
        } else if (argument.startsWith(u'-') && QtFlags.contains(qtOptionName(argument))) {
            continue;
        } else if (argument.startsWith(u'-') && QtValueOptions.contains(qtOptionName(argument))) {
            if (!argument.contains(u'='))
                ++index;
        } else if (argument.startsWith(u'-')) {
            return refuse(QStringLiteral("unknown option %1").arg(argument));
        } else {
            return refuse(QStringLiteral("unexpected argument %1; a bank is given with --bank FILE").arg(argument));
        }
    }
    if (!options.bank.isEmpty() && !options.installBank.isEmpty())
        return refuse(QStringLiteral("--bank and --install-bank cannot be given together"));
    return options;
}
