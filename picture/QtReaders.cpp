#include "QtReaders.h"

#include <QPainter>

namespace glimmora {

QImage ComposedOverWhite(const QImage& decoded) {
    if (!decoded.hasAlphaChannel()) {
        return decoded.convertToFormat(QImage::Format_RGB32);
    }
    QImage opaque(decoded.size(), QImage::Format_RGB32);
    if (opaque.isNull()) {
        return opaque;
    }
    opaque.fill(Qt::white);
    QPainter painter(&opaque);
    painter.drawImage(0, 0, decoded);
    return opaque;
}

Colour ColourOf(QRgb argb) {
    return static_cast<Colour>(qRed(argb) | (qGreen(argb) << 8) | (qBlue(argb) << 16));
}

} // namespace glimmora
