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
    // The window icon proper, and the square renderings for the task bar
    // and switchers, which ask for larger sizes.
    QIcon icon;
    for (const char* name :
         {"app/icon.png", "app/icon-16.png", "app/icon-32.png", "app/icon-48.png",
          "app/icon-64.png", "app/icon-128.png", "app/icon-256.png"}) {
        const QPixmap rendering = AssetPixmap(QString::fromLatin1(name));
        if (!rendering.isNull()) {
            icon.addPixmap(rendering);
        }
    }
    if (!icon.isNull()) {
        QApplication::setWindowIcon(icon);
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
