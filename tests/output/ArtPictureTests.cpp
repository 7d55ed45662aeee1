#include <QFontMetricsF>
#include <QImage>
#include <QTest>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "output/ArtPicture.h"
#include "output/PngWriter.h"

namespace glimmora {

namespace {

constexpr char kMono[] = "DejaVu Sans Mono";

QFontMetricsF MetricsAt96(const QString& face, double points) {
    static QImage device(1, 1, QImage::Format_RGB32);
    device.setDotsPerMeterX(3780);
    device.setDotsPerMeterY(3780);
    QFont font(face);
    font.setPointSizeF(points);
    font.setKerning(false);
    return QFontMetricsF(font, &device);
}

PictureLook Look(ArtKind kind, LineSetting setting, double points, Rgb background) {
    PictureLook look;
    look.kind = kind;
    look.setting = setting;
    look.face = kMono;
    look.points = points;
    look.background = background;
    return look;
}

Rgb At(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

} // namespace

class ArtPictureTests : public QObject {
    Q_OBJECT

private slots:
    void size_followsTheFaceAndTheSetting_data();
    void size_followsTheFaceAndTheSetting();
    void letters_solidInkInTheirCellsColour();
    void terminalCells_backgroundAndBlockInTheirColours();
    void cellGrid_drawnInItsOwnColours();
    void bands_cutNoLineDifferently();
    void refusal_namesTheSideAndTheSize_data();
    void refusal_namesTheSideAndTheSize();
    void png_decodesToTheRowsGiven();
};

void ArtPictureTests::size_followsTheFaceAndTheSetting_data() {
    QTest::addColumn<int>("setting");
    QTest::addColumn<QByteArray>("art");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("lines");
    QTest::addRow("viewer_widestLineAndLineSpacing")
        << int(LineSetting::Viewer) << QByteArray("ab\rcde\r") << 3 << 2;
    QTest::addRow("viewer_lastLineWithoutItsEnd")
        << int(LineSetting::Viewer) << QByteArray("ab\r\ncde") << 3 << 2;
    QTest::addRow("browser_linesAsFarApartAsTheSize")
        << int(LineSetting::Browser) << QByteArray("a\rb\rc\r") << 1 << 3;
    QTest::addRow("terminal_wholePixelCells")
        << int(LineSetting::Terminal) << QByteArray("\x1b[31mab\x1b[0m\n\xe2\x96\x88\n") << 2 << 2;
}

void ArtPictureTests::size_followsTheFaceAndTheSetting() {
    QFETCH(int, setting);
    QFETCH(QByteArray, art);
    QFETCH(int, columns);
    QFETCH(int, lines);
    const auto lineSetting = static_cast<LineSetting>(setting);
    const ArtKind kind =
        lineSetting == LineSetting::Terminal ? ArtKind::TerminalText : ArtKind::Signs;
    const QImage image = ArtImage(Look(kind, lineSetting, 12, 0xFFFFFF), art.toStdString());
    const QFontMetricsF metrics = MetricsAt96(kMono, 12);
    const double advance = metrics.horizontalAdvance(QLatin1Char('M'));
    int width = static_cast<int>(std::ceil(columns * advance - 1e-9));
    int height = lines * static_cast<int>(std::ceil(metrics.lineSpacing()));
    if (lineSetting == LineSetting::Browser) {
        height = static_cast<int>(std::ceil(lines * 16.0)); // 12 pt at 96 dpi
    } else if (lineSetting == LineSetting::Terminal) {
        width = columns * static_cast<int>(std::lround(advance));
        height = lines * static_cast<int>(std::ceil(metrics.ascent() + metrics.descent()));
    }
    QCOMPARE(image.width(), width);
    QCOMPARE(image.height(), height);
}

void ArtPictureTests::letters_solidInkInTheirCellsColour() {
    // Two cells of coloured HTML on blue: H in red, I in green.
    const QImage image =
        ArtImage(Look(ArtKind::ColouredLetters, LineSetting::Browser, 30, 0x0000FF),
                 "<font color=\"#FF0000\">H</font><font color=\"#00FF00\">I</font>\r");
    const int cell = image.width() / 2;
    QCOMPARE(At(image, 0, 0), Rgb{0x0000FF});
    int solid[2] = {0, 0};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const Rgb pixel = At(image, x, y);
            const int which = x < cell ? 0 : 1;
            const Rgb ink = which == 0 ? 0xFF0000 : 0x00FF00;
            const Rgb other = which == 0 ? 0x00FF00 : 0xFF0000;
            // Edges blend the cell's ink with the background, nothing else.
            QVERIFY2((pixel & other) == 0, qPrintable(QString::number(pixel, 16)));
            solid[which] += pixel == ink ? 1 : 0;
        }
    }
    QVERIFY(solid[0] > 20);
    QVERIFY(solid[1] > 20);
}

void ArtPictureTests::terminalCells_backgroundAndBlockInTheirColours() {
    // A space on yellow, a full block in red on blue, then a default cell.
    const QImage image = ArtImage(TerminalPictureLook(12, 0x000000),
                                  "\x1b[48;5;11m \x1b[38;2;255;0;0;48;2;0;0;255m\xe2\x96\x88"
                                  "\x1b[0ma\n");
    const int cell = image.width() / 3;
    const int middle = image.height() / 2;
    QCOMPARE(At(image, cell / 2, middle), Rgb{0xFFFF00});
    QCOMPARE(At(image, cell + cell / 2, middle), Rgb{0xFF0000});
    QCOMPARE(At(image, cell + cell / 2, 1), Rgb{0xFF0000});
    QCOMPARE(At(image, 2 * cell, 0), Rgb{0x000000});
    bool white = false;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 2 * cell; x < image.width(); ++x) {
            white = white || At(image, x, y) == 0xFFFFFF;
        }
    }
    QVERIFY(white);
}

void ArtPictureTests::cellGrid_drawnInItsOwnColours() {
    // A full block in red (held red lowest) on a blue cell, then a blank
    // cell without a background of its own: the terminal's shows.
    CellGrid grid;
    grid.columns = 2;
    grid.rows = 1;
    grid.terminalBackground = 0x203040;
    Cell block;
    block.sign = U'\u2588';
    block.foreground = {0x0000FF, CellColour::kDirect};
    block.background = {0xFF0000, CellColour::kDirect};
    grid.cells = {block, Cell{}};
    const QImage image = CellArtImage(grid, 12);
    const QImage text = ArtImage(TerminalPictureLook(12), "ab\n");
    QCOMPARE(image.size(), text.size());
    QCOMPARE(At(image, image.width() / 4, image.height() / 2), Rgb{0xFF0000});
    QCOMPARE(At(image, image.width() * 3 / 4, image.height() / 2), Rgb{0x403020});
}

void ArtPictureTests::bands_cutNoLineDifferently() {
    // Lines wide enough that bands are a few lines tall and cut through
    // them: every line comes out as the second (the first has no line
    // above whose descenders reach into it).
    std::string art;
    const std::string line = std::string(3000, 'g') + "\r";
    for (int i = 0; i < 60; ++i) {
        art += line;
    }
    const PictureLook look = Look(ArtKind::Signs, LineSetting::Viewer, 9, 0xFFFFFF);
    const QImage image = ArtImage(look, art);
    const int pitch = image.height() / 60;
    QCOMPARE(image.height(), 60 * pitch);
    for (int i = 2; i < 60; ++i) {
        for (int y = 0; y < pitch; ++y) {
            QVERIFY2(std::memcmp(image.constScanLine(pitch + y), image.constScanLine(i * pitch + y),
                                 static_cast<std::size_t>(image.bytesPerLine())) == 0,
                     qPrintable(QStringLiteral("line %1 row %2").arg(i).arg(y)));
        }
    }
}

void ArtPictureTests::refusal_namesTheSideAndTheSize_data() {
    QTest::addColumn<qint64>("width");
    QTest::addColumn<qint64>("height");
    QTest::addColumn<QString>("refusal");
    QTest::addRow("largestAllowed") << qint64(1000000) << qint64(1000000) << QString();
    QTest::addRow("tooWide") << qint64(1000001) << qint64(7)
                             << QStringLiteral("The picture would be 1000001 x 7 pixels, wider");
    QTest::addRow("tooTall") << qint64(3) << qint64(2000000)
                             << QStringLiteral("The picture would be 3 x 2000000 pixels, taller");
}

void ArtPictureTests::refusal_namesTheSideAndTheSize() {
    QFETCH(qint64, width);
    QFETCH(qint64, height);
    QFETCH(QString, refusal);
    const std::optional<std::string> got = PictureSizeRefusal({width, height});
    QCOMPARE(got.has_value(), !refusal.isEmpty());
    if (got) {
        QVERIFY2(QString::fromStdString(*got).startsWith(refusal), got->c_str());
    }
}

void ArtPictureTests::png_decodesToTheRowsGiven() {
    // More rows than one compressed piece holds, so pieces are joined.
    constexpr int kWidth = 1999;
    constexpr int kHeight = 1200;
    std::string bytes;
    {
        PngWriter png(kWidth, kHeight, [&bytes](std::string_view piece) { bytes += piece; });
        std::vector<std::uint8_t> row(kWidth * 3);
        for (int y = 0; y < kHeight; ++y) {
            for (int i = 0; i < kWidth * 3; ++i) {
                row[static_cast<std::size_t>(i)] =
                    static_cast<std::uint8_t>(i * 7 + y * 13 + i / 5);
            }
            png.WriteRow(row.data());
        }
        png.Finish();
    }
    QImage image;
    QVERIFY(image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                               static_cast<int>(bytes.size()), "PNG"));
    image = image.convertToFormat(QImage::Format_RGB888);
    QCOMPARE(image.size(), QSize(kWidth, kHeight));
    QCOMPARE(image.dotsPerMeterX(), 3780);
    for (int y = 0; y < kHeight; ++y) {
        const uchar* got = image.constScanLine(y);
        for (int i = 0; i < kWidth * 3; ++i) {
            if (got[i] != static_cast<std::uint8_t>(i * 7 + y * 13 + i / 5)) {
                QFAIL(qPrintable(QStringLiteral("row %1 byte %2").arg(y).arg(i)));
            }
        }
    }
}

} // namespace glimmora

QTEST_MAIN(glimmora::ArtPictureTests)
#include "ArtPictureTests.moc"
