// The area samples the cell art reads: every pixel of the picture counted,
// JPEGs and PNGs read directly as they are decoded, against the box filter
// over the whole decode and against means worked out by hand.

#include <QBuffer>
#include <QImage>
#include <QtTest>

#include "EncodedPictures.h"
#include "core/AreaSampler.h"
#include "picture/Picture.h"

using namespace glimmora;
using namespace glimmora::testing;

namespace {

std::shared_ptr<const PictureFile> Opened(const QByteArray& bytes) {
    const PictureFileResult opened = PictureFile::FromBytes(bytes, QStringLiteral("picture"));
    return opened.file;
}

// Black and white columns a pixel wide.
int Stripes(int x, int, int, int maximum) {
    return x % 2 == 0 ? 0 : maximum;
}

} // namespace

class AreaDecodeTests : public QObject {
    Q_OBJECT

private slots:
    void samples_countEveryPixelOfTheWholeDecode_data();
    void samples_countEveryPixelOfTheWholeDecode();
    void samples_meansByHand_data();
    void samples_meansByHand();
    void damaged_failsAsTheWholeDecodeDoes();
};

void AreaDecodeTests::samples_countEveryPixelOfTheWholeDecode_data() {
    QTest::addColumn<QByteArray>("bytes");
    for (const auto& [name, colourType, depths] :
         std::vector<std::tuple<const char*, int, std::vector<int>>>{
             {"grey", PNG_COLOR_TYPE_GRAY, {1, 2, 4, 8, 16}},
             {"palette", PNG_COLOR_TYPE_PALETTE, {1, 2, 4, 8}},
             {"rgb", PNG_COLOR_TYPE_RGB, {8, 16}},
             {"rgba", PNG_COLOR_TYPE_RGB_ALPHA, {8, 16}}}) {
        for (const int depth : depths) {
            QTest::addRow("png_%s%d", name, depth)
                << EncodePng(37, 23, colourType, depth, Trns::None);
            QTest::addRow("png_%s%d_interlaced", name, depth)
                << EncodePng(37, 23, colourType, depth, Trns::None, true);
        }
    }
    QTest::addRow("png_palette4_trns") << EncodePng(37, 23, PNG_COLOR_TYPE_PALETTE, 4, Trns::Some);
    QTest::addRow("png_interlacedSmallerThanItsPasses")
        << EncodePng(3, 2, PNG_COLOR_TYPE_RGB, 8, Trns::None, true);
    // JPEGs at full size where samples are too small for a smaller decode;
    // turned upright by every orientation; CMYK decoded whole.
    QTest::addRow("jpeg_420") << EncodeJpeg(45, 31, {3, 2, 2, false, 0});
    QTest::addRow("jpeg_grey") << EncodeJpeg(45, 31, {1, 1, 1, false, 0});
    QTest::addRow("jpeg_progressive") << EncodeJpeg(45, 31, {3, 2, 2, true, 0});
    QTest::addRow("jpeg_cmyk") << EncodeJpeg(45, 31, {4, 1, 1, false, 0});
    const QByteArray turned = EncodeJpeg(45, 31, {3, 2, 2, false, 0});
    for (int orientation = 2; orientation <= 8; ++orientation) {
        QTest::addRow("jpeg_orientation%d", orientation) << WithOrientation(turned, orientation);
    }
    // Qt's readers, through a whole decode.
    QImage image(29, 17, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, qRgb(Sample(x, y, 0, 255), Sample(x, y, 1, 255), 40));
        }
    }
    QByteArray bmp;
    QBuffer device(&bmp);
    device.open(QIODevice::WriteOnly);
    image.save(&device, "BMP");
    QTest::addRow("bmp") << bmp;
}

void AreaDecodeTests::samples_countEveryPixelOfTheWholeDecode() {
    QFETCH(QByteArray, bytes);
    const auto file = Opened(bytes);
    QVERIFY(file);
    const PictureLoadResult whole = DecodeWhole(*file);
    QVERIFY2(whole.picture, qPrintable(whole.error));
    const int width = file->Width();
    const int height = file->Height();
    // Larger and smaller than a pixel, straddling pixels, one sample.
    const std::vector<std::pair<int, int>> grids = {
        {width, height}, {width / 2 + 1, height + 3}, {2 * width + 1, 3}, {7, 5}, {1, 1}};
    for (const auto& [across, down] : grids) {
        if (file->Format() == "jpeg" && across <= width / 2 && down <= height / 2) {
            continue; // decoded smaller: see the means by hand
        }
        const AreaSamplesResult areas = DecodeAreaSamples(*file, across, down);
        QVERIFY2(areas.samples, qPrintable(areas.error));
        const PixelBuffer expected = AreaAverage(*whole.picture, width, height, across, down);
        QCOMPARE(areas.samples->Width(), across);
        QCOMPARE(areas.samples->Height(), down);
        for (int y = 0; y < down; ++y) {
            for (int x = 0; x < across; ++x) {
                if (areas.samples->GetPixel(x, y) != expected.GetPixel(x, y)) {
                    QFAIL(qPrintable(QStringLiteral("%1 x %2 samples, (%3, %4): %5, whole %6")
                                         .arg(across)
                                         .arg(down)
                                         .arg(x)
                                         .arg(y)
                                         .arg(areas.samples->GetPixel(x, y), 6, 16)
                                         .arg(expected.GetPixel(x, y), 6, 16)));
                }
            }
        }
    }
}

void AreaDecodeTests::samples_meansByHand_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("across");
    QTest::addColumn<int>("down");
    QTest::addColumn<QList<int>>("colours"); // row by row; one alone for every sample
    QTest::addColumn<int>("tolerance");      // of each byte

    // Stripes finer than a sample are half the light, sRGB 188: never the
    // black or white of single pixels picked.
    const QList<int> half = {0xBCBCBC};
    QTest::newRow("pngStripes") << EncodePng(32, 8, PNG_COLOR_TYPE_GRAY, 8, Trns::None, false,
                                             Stripes)
                                << 4 << 1 << half << 0;
    QTest::newRow("png16Stripes") << EncodePng(32, 8, PNG_COLOR_TYPE_GRAY, 16, Trns::None, false,
                                               Stripes)
                                  << 4 << 1 << half << 0;
    QTest::newRow("pngInterlacedStripes")
        << EncodePng(32, 8, PNG_COLOR_TYPE_GRAY, 8, Trns::None, true, Stripes) << 4 << 2 << half
        << 0;
    // Entries 0 and 1 are (0, 255, 0) and (37, 244, 101).
    QTest::newRow("pngPaletteStripes")
        << EncodePng(30, 9, PNG_COLOR_TYPE_PALETTE, 1, Trns::None, false,
                     [](int x, int, int, int) { return x % 2; })
        << 3 << 3 << QList<int>{0x48FA18} << 0;
    // Samples 2.5 pixels wide over columns white, white, black, ...: 2 of
    // 2.5 white (sRGB 231), then none.
    QTest::newRow("pngStraddling")
        << EncodePng(5, 2, PNG_COLOR_TYPE_GRAY, 8, Trns::None, false,
                     [](int x, int, int, int maximum) { return x < 2 ? maximum : 0; })
        << 2 << 1 << QList<int>{0xE7E7E7, 0} << 0;
    // A JPEG decoded at 1/8: a black block beside a white one in every
    // sample is half the light again.
    QTest::newRow("jpegBlocks") << EncodeJpeg(
                                       64, 32, {1, 1, 1, false, 0},
                                       [](int x, int, int, int) { return x % 16 < 8 ? 0 : 255; },
                                       100)
                                << 4 << 2 << half << 1;
    // Within a block the decode at 1/8 means the file's own sRGB: stripes
    // finer than a block are grey, darker than the light's mean.
    QTest::newRow("jpegStripes") << EncodeJpeg(64, 64, {3, 1, 1, false, 0}, Stripes, 100) << 4 << 4
                                 << QList<int>{0x808080} << 2;
}

void AreaDecodeTests::samples_meansByHand() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, across);
    QFETCH(int, down);
    QFETCH(QList<int>, colours);
    QFETCH(int, tolerance);
    const auto file = Opened(bytes);
    QVERIFY(file);
    const AreaSamplesResult areas = DecodeAreaSamples(*file, across, down);
    QVERIFY2(areas.samples, qPrintable(areas.error));
    QCOMPARE(areas.samples->Width(), across);
    QCOMPARE(areas.samples->Height(), down);
    for (int y = 0; y < down; ++y) {
        for (int x = 0; x < across; ++x) {
            const Colour got = areas.samples->GetPixel(x, y);
            const int expected = colours.size() == 1 ? colours[0] : colours[y * across + x];
            for (const int shift : {0, 8, 16}) {
                if (std::abs(((got >> shift) & 0xFF) - ((expected >> shift) & 0xFF)) > tolerance) {
                    QFAIL(qPrintable(QStringLiteral("(%1, %2): %3, not %4")
                                         .arg(x)
                                         .arg(y)
                                         .arg(got, 6, 16)
                                         .arg(expected, 6, 16)));
                }
            }
        }
    }
}

void AreaDecodeTests::damaged_failsAsTheWholeDecodeDoes() {
    const QByteArray png = EncodePng(40, 30, PNG_COLOR_TYPE_RGB, 8, Trns::None);
    const QByteArray jpeg = EncodeJpeg(40, 30, {3, 2, 2, false, 0});
    for (const QByteArray& bytes :
         {png.left(png.size() * 2 / 3), png.left(png.size() - 12), jpeg.left(jpeg.size() / 2)}) {
        const auto file = Opened(bytes);
        QVERIFY(file);
        const PictureLoadResult whole = DecodeWhole(*file);
        const AreaSamplesResult areas = DecodeAreaSamples(*file, 10, 5);
        QCOMPARE(bool(areas.samples), bool(whole.picture));
        if (!whole.picture) {
            QCOMPARE(areas.failure, PictureFailure::Unreadable);
            QVERIFY2(areas.error.startsWith("picture cannot be read"), qPrintable(areas.error));
        }
    }
}

QTEST_GUILESS_MAIN(AreaDecodeTests)
#include "AreaDecodeTests.moc"
