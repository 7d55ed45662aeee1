#include "Startup.h"

#include <QApplication>

#include "platform/Platform.h"
#include "wizard/WizardSession.h"

namespace glimmora {

int RunGlimmora(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Glimmora"));
    RegisterLayoutFonts();
    QtPlatform platform;
    WizardSession session(platform);
    session.Open();
    return QApplication::exec();
}

} // namespace glimmora
