#include "ArtKit.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

namespace glimmora::art {

namespace {
int gScale = 1;
} // namespace

void SetScale(int scale) {
    gScale = scale;
}

QImage NewImage(int width, int height, const QColor& fill) {
    QImage image(width * gScale, height * gScale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(gScale);
    image.fill(fill);
    return image;
}

void Prepare(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

QString FirstFamily(std::initializer_list<const char*> names, QFontDatabase::SystemFont fallback) {
    // Families of several foundries are listed as "Name [foundry]".
    QStringList families;
    for (const QString& family : QFontDatabase::families()) {
        families.append(family.section(QStringLiteral(" ["), 0, 0));
    }
    for (const char* name : names) {
        if (families.contains(QString::fromLatin1(name))) {
            return QString::fromLatin1(name);
        }
    }
    return QFontDatabase::systemFont(fallback).family();
}

QFont Font(const QString& family, double pixelSize, int weight) {
    QFont font(family);
    font.setPixelSize(static_cast<int>(std::lround(pixelSize)));
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void DrawCentred(QPainter& p, double x, double baseline, const QString& text) {
    const double width = QFontMetricsF(p.font()).horizontalAdvance(text);
    p.drawText(QPointF(std::round(x - width / 2.0), baseline), text);
}

void DrawCentredText(QPainter& p, const QPointF& centre, const QString& text) {
    const QFontMetricsF metrics(p.font());
    DrawCentred(p, centre.x(), std::round(centre.y() + metrics.capHeight() / 2.0), text);
}

QImage Blurred(const QImage& source, int radius, BlurEdge edge) {
    QImage image = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // The radius is in pixels of scale 1.
    radius = static_cast<int>(std::lround(radius * source.devicePixelRatio()));
    if (radius < 1) {
        return image;
    }
    const int w = image.width();
    const int h = image.height();
    std::vector<int> line;
    auto pass = [&](bool horizontal) {
        const int count = horizontal ? h : w;
        const int length = horizontal ? w : h;
        line.assign(static_cast<size_t>(length) * 4, 0);
        for (int i = 0; i < count; ++i) {
            auto at = [&](int k) -> QRgb& {
                return horizontal ? reinterpret_cast<QRgb*>(image.scanLine(i))[k]
                                  : reinterpret_cast<QRgb*>(image.scanLine(k))[i];
            };
            for (int k = 0; k < length; ++k) {
                const QRgb c = at(k);
                line[k * 4 + 0] = qAlpha(c);
                line[k * 4 + 1] = qRed(c);
                line[k * 4 + 2] = qGreen(c);
                line[k * 4 + 3] = qBlue(c);
            }
            for (int k = 0; k < length; ++k) {
                int sum[4] = {0, 0, 0, 0};
                for (int d = -radius; d <= radius; ++d) {
                    int j = k + d;
                    if (j < 0 || j >= length) {
                        if (edge == BlurEdge::Clear) {
                            continue;
                        }
                        j = std::clamp(j, 0, length - 1);
                    }
                    for (int c = 0; c < 4; ++c) {
                        sum[c] += line[j * 4 + c];
                    }
                }
                const int n = 2 * radius + 1;
                at(k) = qRgba(sum[1] / n, sum[2] / n, sum[3] / n, sum[0] / n);
            }
        }
    };
    for (int round = 0; round < 3; ++round) {
        pass(true);
        pass(false);
    }
    return image;
}

void DrawShadow(QPainter& p, const QPainterPath& shape, const QPointF& offset, int radius,
                int alpha, const QSize& canvas, BlurEdge edge) {
    QImage mask = NewImage(canvas.width(), canvas.height(), Qt::transparent);
    {
        QPainter m(&mask);
        Prepare(m);
        m.setPen(Qt::NoPen);
        m.setBrush(QColor(0, 0, 0, alpha));
        m.drawPath(shape.translated(offset));
    }
    p.save();
    p.resetTransform();
    p.drawImage(0, 0, Blurred(mask, radius, edge));
    p.restore();
}

void UseOffscreenPlatformUnlessSet() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

QString OutputFolder(int argc, char** argv) {
    return argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(GLIMMORA_ASSETS_DIR);
}

ArtFolder::ArtFolder(QString folder) : folder_(std::move(folder)) {}

void ArtFolder::Save(const QImage& image, const QString& fileName, bool keepAlpha) {
    QString name = fileName;
    if (image.devicePixelRatio() > 1.0) {
        name.insert(name.lastIndexOf(QLatin1Char('.')),
                    QStringLiteral("@%1x").arg(image.devicePixelRatio()));
    }
    const QString path = QDir(folder_).filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QImage out = keepAlpha ? image.convertToFormat(QImage::Format_ARGB32)
                                 : image.convertToFormat(QImage::Format_RGB888);
    if (!out.save(path, "PNG")) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        ++failures_;
        return;
    }
    std::printf("%-28s %4d x %d\n", qPrintable(name), out.width(), out.height());
}

} // namespace glimmora::art
