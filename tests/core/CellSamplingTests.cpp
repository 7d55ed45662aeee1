#include <QTest>

#include <cmath>
#include <random>

#include "core/CellArt.h"
#include "core/CellColours.h"

using namespace glimmora;

namespace {

// sRGB's own formula from linear light to a byte, rounded to nearest.
int ByteByFormula(double linear) {
    const double v = linear <= 0.0031308 ? linear * 12.92
                                         : 1.055 * std::pow(std::max(linear, 0.0), 1 / 2.4) - 0.055;
    return static_cast<int>(std::lround(std::clamp(v * 255.0, 0.0, 255.0)));
}

} // namespace

// The samples of the cells read from a picture's rows in memory must be the
// ones read pixel by pixel, to the last bit: an animation's frame and the
// same picture as a still give the same art.
class CellSamplingTests : public QObject {
    Q_OBJECT
private slots:
    void rowsGiveTheSameSamples_data();
    void rowsGiveTheSameSamples();
    void linearToByte_isTheFormulasAtEveryEdge();
};

void CellSamplingTests::rowsGiveTheSameSamples_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("stepX"); // the points read: every stepX-th pixel across
    QTest::addColumn<int>("stepY");
    QTest::addColumn<int>("samplesAcross");
    QTest::addColumn<int>("samplesDown");
    QTest::addRow("uneven areas") << 643 << 401 << 1 << 1 << 80 << 48;
    QTest::addRow("every 4th point") << 643 << 401 << 4 << 3 << 80 << 48;
    QTest::addRow("areas smaller than a pixel") << 7 << 5 << 1 << 1 << 24 << 16;
    QTest::addRow("one sample") << 33 << 17 << 2 << 2 << 1 << 1;
}

void CellSamplingTests::rowsGiveTheSameSamples() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, stepX);
    QFETCH(int, stepY);
    QFETCH(int, samplesAcross);
    QFETCH(int, samplesDown);
    // Rows with room after them, as pictures in memory often have.
    const int stride = width + 3;
    std::vector<std::uint32_t> words(static_cast<std::size_t>(stride) * height);
    std::mt19937 random(7);
    for (std::uint32_t& word : words) {
        word = 0xFF000000 | (random() & 0xFFFFFF);
    }
    // The same points one by one; red is bits 16-23 of a word, bits 0-7 of
    // a Colour.
    const int pointsAcross = (width + stepX - 1) / stepX;
    const int pointsDown = (height + stepY - 1) / stepY;
    PixelBuffer points(pointsAcross, pointsDown);
    for (int y = 0; y < pointsDown; ++y) {
        for (int x = 0; x < pointsAcross; ++x) {
            const std::uint32_t word =
                words[static_cast<std::size_t>(y * stepY) * stride + x * stepX];
            points.SetPixel(x, y, Rgb((word >> 16) & 0xFF, (word >> 8) & 0xFF, word & 0xFF));
        }
    }
    const ArgbRows rows{[&](int y) { return &words[static_cast<std::size_t>(y * stepY) * stride]; },
                        stepX};

    const PixelBuffer expected =
        AreaAverage(points, pointsAcross, pointsDown, samplesAcross, samplesDown);
    const PixelBuffer got = AreaAverage(rows, pointsAcross, pointsDown, samplesAcross, samplesDown);
    QCOMPARE(got.Width(), samplesAcross);
    QCOMPARE(got.Height(), samplesDown);
    for (int y = 0; y < samplesDown; ++y) {
        for (int x = 0; x < samplesAcross; ++x) {
            QCOMPARE(got.GetPixel(x, y), expected.GetPixel(x, y));
        }
    }
}

void CellSamplingTests::linearToByte_isTheFormulasAtEveryEdge() {
    // On either side of the least value that gives each byte.
    for (int byte = 1; byte < 256; ++byte) {
        double low = 0.0;
        double high = 1.0;
        for (double middle = 0.5; middle > low && middle < high; middle = low + (high - low) / 2) {
            (ByteByFormula(middle) >= byte ? high : low) = middle;
        }
        QCOMPARE(LinearBytesTable().Of(high), byte);
        QCOMPARE(LinearBytesTable().Of(low), byte - 1);
    }
    // Densely in between, and past both ends.
    for (int i = 0; i <= 1 << 16; ++i) {
        const double linear = i / double(1 << 16) + 1e-9 * (i % 7);
        QCOMPARE(LinearBytesTable().Of(linear), ByteByFormula(linear));
    }
    for (const double linear : {-0.5, 0.0, std::nextafter(1.0, 0.0), 1.0, 1.0 + 1e-12, 3.0}) {
        QCOMPARE(LinearBytesTable().Of(linear), ByteByFormula(linear));
    }
}

QTEST_APPLESS_MAIN(CellSamplingTests)
#include "CellSamplingTests.moc"
