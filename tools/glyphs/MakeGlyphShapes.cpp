// Writes the table of glyph shapes the cell art chooses its ASCII signs
// from: each printable ASCII sign of a monospace face drawn into one
// terminal cell (the face's advance wide, its line height tall), and the
// part of each of the cell's samples its ink covers. Run at build time:
//   glimmora-glyph-shapes FONT.ttf OUTPUT.inc

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

#include <cmath>
#include <cstdio>

#include "core/CellArt.h"

namespace {

// Pixels a cell is drawn at across; down follows from the face's shape.
constexpr int kPixelSize = 96;

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fputs("usage: glimmora-glyph-shapes FONT.ttf OUTPUT.inc\n", stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int id = QFontDatabase::addApplicationFont(QString::fromLocal8Bit(argv[1]));
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty()) {
        std::fprintf(stderr, "glimmora-glyph-shapes: %s is not a font\n", argv[1]);
        return 1;
    }
    QFont font(families.front());
    font.setPixelSize(kPixelSize);
    font.setStyleStrategy(QFont::NoFontMerging);
    font.setHintingPreference(QFont::PreferNoHinting);
    const QFontMetricsF metrics(font);
    const int width = static_cast<int>(std::lround(metrics.horizontalAdvance(QLatin1Char('M'))));
    const int height = static_cast<int>(std::lround(metrics.height()));

    QString table;
    QTextStream out(&table);
    out << "// Made at build time by glimmora-glyph-shapes from " << families.front() << " ("
        << QString::fromLocal8Bit(argv[1]).section('/', -1) << "), a cell " << width << " x "
        << height << " pixels: for each sign from ' ' to '~', the ink over each of the "
        << glimmora::kCellSamplesAcross << " x " << glimmora::kCellSamplesDown
        << " samples, row by row.\n";
    for (int sign = 32; sign < 127; ++sign) {
        QImage cell(width, height, QImage::Format_Grayscale8);
        cell.fill(0);
        QPainter painter(&cell);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QPointF(0, metrics.ascent()), QString(QChar(sign)));
        painter.end();
        out << "{{";
        for (int y = 0; y < glimmora::kCellSamplesDown; ++y) {
            for (int x = 0; x < glimmora::kCellSamplesAcross; ++x) {
                const int left = x * width / glimmora::kCellSamplesAcross;
                const int right = (x + 1) * width / glimmora::kCellSamplesAcross;
                const int top = y * height / glimmora::kCellSamplesDown;
                const int bottom = (y + 1) * height / glimmora::kCellSamplesDown;
                double ink = 0;
                for (int py = top; py < bottom; ++py) {
                    const uchar* line = cell.constScanLine(py);
                    for (int px = left; px < right; ++px) {
                        ink += line[px];
                    }
                }
                ink /= 255.0 * (right - left) * (bottom - top);
                out << QString::number(ink, 'f', 4) << "F,";
            }
        }
        out << "}}, // " << (sign == '\\' ? QStringLiteral("backslash") : QString(QChar(sign)))
            << "\n";
    }
    out.flush();
    QFile file(QString::fromLocal8Bit(argv[2]));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(table.toUtf8()) != table.toUtf8().size() || !file.flush()) {
        std::fprintf(stderr, "glimmora-glyph-shapes: %s cannot be written\n", argv[2]);
        return 1;
    }
    return 0;
}
