#include "Assets.h"

#include <QPixmap>
#include <QString>

namespace glimmora {

QPixmap AssetPixmap(const QString& name) {
    return QPixmap(QStringLiteral(":/") + name);
}

} // namespace glimmora
