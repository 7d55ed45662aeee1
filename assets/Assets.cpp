#include "Assets.h"

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace glimmora {

QPixmap AssetPixmap(const QString& name) {
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
