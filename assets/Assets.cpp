#include "Assets.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QString>

namespace glimmora {

QPixmap AssetPixmap(const QString& name) {
    // On a screen of more than one device pixel per pixel (a desktop scale
    // of 1.25 to 2, a high-density screen) the picture painted at twice the
    // size, where there is one.
    if (qGuiApp != nullptr && qGuiApp->devicePixelRatio() > 1.0) {
        QString twice = name;
        twice.insert(twice.lastIndexOf(QLatin1Char('.')), QStringLiteral("@2x"));
        QPixmap picture(QStringLiteral(":/") + twice);
        if (!picture.isNull()) {
            picture.setDevicePixelRatio(2.0);
            return picture;
        }
    }
    return QPixmap(QStringLiteral(":/") + name);
}

QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        const QPixmap rendering = AssetPixmap(QStringLiteral("app/icon-%1.png").arg(size));
        if (!rendering.isNull()) {
            icon.addPixmap(rendering);
        }
    }
    return icon;
}

} // namespace glimmora
