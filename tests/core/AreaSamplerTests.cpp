// The box filter: hand-worked means, in linear light, of pictures whose
// pixels straddle the samples' edges.

#include <QTest>

#include <vector>

#include "core/AreaSampler.h"

using namespace glimmora;

namespace {

// The grey levels of a picture's samples, row by row.
QList<int> Levels(const PixelBuffer& samples) {
    QList<int> levels;
    for (int y = 0; y < samples.Height(); ++y) {
        for (int x = 0; x < samples.Width(); ++x) {
            const Colour colour = samples.GetPixel(x, y);
            levels.append(colour & 0xFF);
            if (colour != (colour & 0xFF) * 0x010101) {
                levels.append(-1); // not grey
            }
        }
    }
    return levels;
}

} // namespace

class AreaSamplerTests : public QObject {
    Q_OBJECT
private slots:
    void means_data();
    void means();
    void rowsOutOfOrder_giveTheSameMeans();
};

void AreaSamplerTests::means_data() {
    QTest::addColumn<QList<int>>("shape");  // width, height, across, down, pixel size
    QTest::addColumn<QList<int>>("pixels"); // grey levels of the decoded pixels, row by row
    QTest::addColumn<QList<int>>("levels");

    // Half the light is sRGB 188, not 128.
    QTest::newRow("blackBesideWhite")
        << QList<int>{2, 1, 1, 1, 1} << QList<int>{0, 255} << QList<int>{188};
    QTest::newRow("stripesFinerThanASample")
        << QList<int>{8, 1, 2, 1, 1} << QList<int>{0, 255, 0, 255, 255, 0, 255, 0}
        << QList<int>{188, 188};
    // Samples 2.5 pixels wide: 2 of 2.5 white (0.8), then none.
    QTest::newRow("straddlingAcross")
        << QList<int>{5, 1, 2, 1, 1} << QList<int>{255, 255, 0, 0, 0} << QList<int>{231, 0};
    // Samples 1.5 pixels tall: 1 of 1.5 white (2/3), then none.
    QTest::newRow("straddlingDown")
        << QList<int>{1, 3, 1, 2, 1} << QList<int>{255, 0, 0} << QList<int>{213, 0};
    // A white centre pixel, a quarter of it in each 1.5 x 1.5 sample (1/9).
    QTest::newRow("straddlingBoth")
        << QList<int>{3, 3, 2, 2, 1} << QList<int>{0, 0, 0, 0, 255, 0, 0, 0, 0}
        << QList<int>{94, 94, 94, 94};
    // Samples narrower than a pixel: within one, or astride two.
    QTest::newRow("smallerThanAPixel")
        << QList<int>{2, 1, 3, 1, 1} << QList<int>{0, 255} << QList<int>{0, 188, 255};
    // Decoded at 1/2: the last pixel stands for the one column left (3 of
    // 5 white, 0.6).
    QTest::newRow("blockCutAtTheEdge")
        << QList<int>{5, 1, 1, 1, 2} << QList<int>{255, 0, 255} << QList<int>{203};
    QTest::newRow("blocksIntoSamples")
        << QList<int>{8, 2, 2, 1, 2} << QList<int>{255, 0, 0, 0} << QList<int>{188, 0};
}

void AreaSamplerTests::means() {
    QFETCH(QList<int>, shape);
    QFETCH(QList<int>, pixels);
    QFETCH(QList<int>, levels);
    AreaSampler sampler(shape[0], shape[1], shape[2], shape[3], shape[4]);
    const int width = sampler.DecodedWidth();
    QCOMPARE(width * sampler.DecodedHeight(), pixels.size());
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width));
    for (int y = 0; y < sampler.DecodedHeight(); ++y) {
        for (int x = 0; x < width; ++x) {
            row[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(pixels[y * width + x]);
        }
        sampler.AddRow(y, row.data(), kGreyBytes);
    }
    QCOMPARE(Levels(sampler.Finish()), levels);
}

void AreaSamplerTests::rowsOutOfOrder_giveTheSameMeans() {
    // An interlaced picture's passes: every other pixel of a row at a time,
    // rows bottom up, against the same pixels in order.
    constexpr int kWidth = 7;
    constexpr int kHeight = 5;
    std::vector<std::uint8_t> rgb(kWidth * kHeight * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) {
        rgb[i] = static_cast<std::uint8_t>((i * 97 + i / 7 * 31) % 256);
    }
    AreaSampler inOrder(kWidth, kHeight, 3, 2);
    AreaSampler passes(kWidth, kHeight, 3, 2, 1, false);
    std::vector<std::uint8_t> part(kWidth * 3);
    for (int y = 0; y < kHeight; ++y) {
        inOrder.AddRow(y, &rgb[y * kWidth * 3], kRgbBytes);
    }
    for (int first = 0; first < 2; ++first) {
        for (int y = kHeight - 1; y >= 0; --y) {
            std::size_t n = 0;
            for (int x = first; x < kWidth; x += 2) {
                for (int c = 0; c < 3; ++c) {
                    part[n++] = rgb[(y * kWidth + x) * 3 + c];
                }
            }
            passes.AddRow(y, part.data(), kRgbBytes, first, 2);
        }
    }
    const PixelBuffer expected = inOrder.Finish();
    const PixelBuffer got = passes.Finish();
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            QCOMPARE(got.GetPixel(x, y), expected.GetPixel(x, y));
        }
    }
}

QTEST_APPLESS_MAIN(AreaSamplerTests)
#include "AreaSamplerTests.moc"
