#include "Startup.h"

#include <QApplication>
#include <QFileInfo>
#include <QStyleFactory>
#include <QTimer>

#include <cstdio>

#include "Form1.h"
#include "assets/Assets.h"
#include "platform/Platform.h"
#include "platform/WindowLook.h"

namespace glimmora {

StartRequest ReadStartArguments(const QStringList& arguments) {
    StartRequest request;
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded &&
                   (argument == QLatin1String("-h") || argument == QLatin1String("--help"))) {
            return {StartRequest::Action::ShowHelp, {}, {}};
        } else if (!optionsEnded &&
                   (argument == QLatin1String("-v") || argument == QLatin1String("--version"))) {
            return {StartRequest::Action::ShowVersion, {}, {}};
        } else if (!optionsEnded && argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            return {StartRequest::Action::UsageError,
                    {},
                    QStringLiteral("unknown option %1; see glimmora --help.").arg(argument)};
        } else if (!request.picture.isEmpty()) {
            return {StartRequest::Action::UsageError,
                    {},
                    QStringLiteral("one picture at a time; see glimmora --help.")};
        } else {
            request.picture = argument;
        }
    }
    return request;
}

QString StartUsage() {
    return QStringLiteral("Usage: glimmora [PICTURE]\n"
                          "Turns a picture into ASCII art through a six-page wizard.\n"
                          "\n"
                          "  PICTURE        the picture to start from: the wizard opens on its\n"
                          "                 first page with it chosen\n"
                          "  -h, --help     show this help and exit\n"
                          "  -v, --version  show the version and exit\n");
}

void SetUpApplication() {
    QApplication::setApplicationName(QStringLiteral("Glimmora"));
    QApplication::setApplicationVersion(QStringLiteral("2.0"));
    // Lets desktops match the windows to the installed launcher and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.glimmora.Glimmora"));
    QApplication::setWindowIcon(ProgramIcon());
    // The windows are drawn for this style's shapes and honour its palette,
    // which the windows set themselves; a desktop's own style may draw
    // option buttons in colours of its own.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    RegisterLayoutFonts();
}

int RunGlimmora(int argc, char** argv) {
    // Help and version answer without a display, so they are read from the
    // raw arguments before the window system is reached.
    QStringList raw;
    for (int i = 1; i < argc; ++i) {
        raw.append(QString::fromLocal8Bit(argv[i]));
    }
    const StartRequest early = ReadStartArguments(raw);
    if (early.action == StartRequest::Action::ShowHelp) {
        std::fputs(StartUsage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (early.action == StartRequest::Action::ShowVersion) {
        std::fputs("Glimmora 2.0\n", stdout);
        return 0;
    }

    QApplication app(argc, argv);
    SetUpApplication();

    // Qt's own options (-platform, -style …) are gone from the list now.
    const StartRequest request = ReadStartArguments(QApplication::arguments().mid(1));
    if (request.action == StartRequest::Action::UsageError) {
        std::fprintf(stderr, "glimmora: %s\n", request.message.toLocal8Bit().constData());
        return 2;
    }
    QtPlatform platform;
    // The start window is the first and only window at start; it opens the
    // others and ending it ends the program.
    Form1 start(platform);
    start.show();
    if (!request.picture.isEmpty()) {
        // Once the start window is on screen, as if the user had chosen
        // Create New and then the picture.
        // By its full path, as the file dialog gives it.
        const QString picture = QFileInfo(request.picture).absoluteFilePath();
        QTimer::singleShot(0, &start, [&start, picture] { start.OpenWithPicture(picture); });
    }
    return QApplication::exec();
}

} // namespace glimmora
