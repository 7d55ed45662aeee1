#include "Startup.h"

#include <QApplication>
#include <QIcon>

#include "Form1.h"
#include "assets/Assets.h"
#include "platform/Platform.h"

namespace glimmora {

int RunGlimmora(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Glimmora"));
    QApplication::setApplicationVersion(QStringLiteral("2.0"));
    // Lets desktops match the windows to the installed launcher and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.glimmora.Glimmora"));
    const QPixmap icon = AssetPixmap(QStringLiteral("app/icon.png"));
    if (!icon.isNull()) {
        QApplication::setWindowIcon(QIcon(icon));
    }
    RegisterLayoutFonts();
    QtPlatform platform;
    // The start window is the first and only window at start; it opens the
    // others and ending it ends the program.
    Form1 start(platform);
    start.show();
    return QApplication::exec();
}

} // namespace glimmora
