// The sampled decode against the whole decode: for JPEGs and PNGs of every
// kind the direct decoders follow, and a few they hand to Qt, every sampled
// point must hold the colour the whole decode has there, at several steps.

#include <QtTest>

#include "EncodedPictures.h"
#include "picture/Picture.h"

using namespace glimmora;
using namespace glimmora::testing;

class SampledDecodeTests : public QObject {
    Q_OBJECT

private slots:
    void sampled_matchesWholeDecode_data();
    void sampled_matchesWholeDecode();
    void damaged_failsAsTheWholeDecodeDoes_data();
    void damaged_failsAsTheWholeDecodeDoes();
    void slices_giveTheSamePicture_data();
    void slices_giveTheSamePicture();
};

void SampledDecodeTests::sampled_matchesWholeDecode_data() {
    QTest::addColumn<QByteArray>("bytes");

    struct Size {
        int width;
        int height;
    };
    const std::vector<Size> sizes = {{61, 45}, {1, 1}, {33, 17}, {203, 157}};
    const std::vector<std::pair<const char*, JpegKind>> jpegs = {
        {"444", {3, 1, 1, false, 0}},           {"422", {3, 2, 1, false, 0}},
        {"420", {3, 2, 2, false, 0}},           {"440", {3, 1, 2, false, 0}},
        {"411", {3, 4, 1, false, 0}},           {"progressive420", {3, 2, 2, true, 0}},
        {"progressive444", {3, 1, 1, true, 0}}, {"grey", {1, 1, 1, false, 0}},
        {"restarts420", {3, 2, 2, false, 1}},   {"cmyk", {4, 1, 1, false, 0}},
    };
    for (const Size& size : sizes) {
        for (const auto& [name, kind] : jpegs) {
            QTest::addRow("jpeg_%s_%dx%d", name, size.width, size.height)
                << EncodeJpeg(size.width, size.height, kind);
        }
    }
    // Upright by mirroring or a half turn (read directly), and by quarter
    // turns (handed to the whole decode).
    const QByteArray turned = EncodeJpeg(45, 31, {3, 2, 2, false, 0});
    for (int orientation = 2; orientation <= 8; ++orientation) {
        QTest::addRow("jpeg_orientation%d", orientation) << WithOrientation(turned, orientation);
    }
    QTest::addRow("jpeg_orientation3_intel") << WithOrientation(turned, 3, true);
    QTest::addRow("jpeg_orientation6_intel") << WithOrientation(turned, 6, true);
    // Qt reads the APP1 blocks as one: an XMP block first hides the EXIF.
    QTest::addRow("jpeg_xmpBeforeExif")
        << WithOrientation(turned, 6, false, QByteArray("http://ns.adobe.com/xap/1.0/\0<x/>"));
    QTest::addRow("jpeg_orientationOutOfRange") << WithOrientation(turned, 9);

    struct PngKind {
        const char* name;
        int colourType;
        std::vector<int> depths;
    };
    const std::vector<PngKind> pngs = {
        {"grey", PNG_COLOR_TYPE_GRAY, {1, 2, 4, 8, 16}},
        {"palette", PNG_COLOR_TYPE_PALETTE, {1, 2, 4, 8}},
        {"rgb", PNG_COLOR_TYPE_RGB, {8, 16}},
        {"greyAlpha", PNG_COLOR_TYPE_GRAY_ALPHA, {8, 16}},
        {"rgba", PNG_COLOR_TYPE_RGB_ALPHA, {8, 16}},
    };
    for (const PngKind& kind : pngs) {
        for (const int depth : kind.depths) {
            QTest::addRow("png_%s%d", kind.name, depth)
                << EncodePng(37, 23, kind.colourType, depth, Trns::None);
            // Qt's reader lays a 16-bit RGB picture with a transparent
            // colour out wrongly and reads memory it never wrote: two whole
            // decodes of it differ, so there is nothing to compare with.
            const bool trnsAllowed = !(kind.colourType & PNG_COLOR_MASK_ALPHA) &&
                                     !(kind.colourType == PNG_COLOR_TYPE_RGB && depth == 16);
            if (trnsAllowed) {
                QTest::addRow("png_%s%d_trns", kind.name, depth)
                    << EncodePng(37, 23, kind.colourType, depth, Trns::Some);
            }
        }
    }
    QTest::addRow("png_interlaced")
        << EncodePng(37, 23, PNG_COLOR_TYPE_RGB_ALPHA, 8, Trns::None, true);
    QTest::addRow("png_onePixel") << EncodePng(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, Trns::None);
}

void SampledDecodeTests::sampled_matchesWholeDecode() {
    QFETCH(QByteArray, bytes);
    QVERIFY(!bytes.isEmpty());
    const PictureFileResult opened = PictureFile::FromBytes(bytes, QStringLiteral("picture"));
    QVERIFY2(opened.file, qPrintable(opened.error));
    const PictureLoadResult whole = DecodeWhole(*opened.file);
    QVERIFY2(whole.picture, qPrintable(whole.error));
    QCOMPARE(whole.picture->Width(), opened.file->Width());
    QCOMPARE(whole.picture->Height(), opened.file->Height());

    const std::vector<std::pair<int, int>> steps = {{1, 1}, {2, 4}, {3, 3},
                                                    {4, 8}, {7, 5}, {5, 19}};
    for (const auto& [stepX, stepY] : steps) {
        const SampledPictureResult sampled = DecodeSampled(*opened.file, stepX, stepY);
        QVERIFY2(sampled.picture, qPrintable(sampled.error));
        for (int y = 0; y < opened.file->Height(); y += stepY) {
            for (int x = 0; x < opened.file->Width(); x += stepX) {
                if (sampled.picture->GetPixel(x, y) != whole.picture->GetPixel(x, y)) {
                    QFAIL(qPrintable(QStringLiteral("steps %1 x %2, point (%3, %4): %5, whole %6")
                                         .arg(stepX)
                                         .arg(stepY)
                                         .arg(x)
                                         .arg(y)
                                         .arg(sampled.picture->GetPixel(x, y), 6, 16)
                                         .arg(whole.picture->GetPixel(x, y), 6, 16)));
                }
            }
        }
    }
}

void SampledDecodeTests::damaged_failsAsTheWholeDecodeDoes_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray png = EncodePng(40, 30, PNG_COLOR_TYPE_RGB, 8, Trns::None);
    const QByteArray jpeg = EncodeJpeg(40, 30, {3, 2, 2, false, 0});
    QTest::addRow("pngCutInItsRows") << png.left(png.size() * 2 / 3);
    QTest::addRow("pngWithoutItsEnd") << png.left(png.size() - 12);
    QByteArray badCrc = png;
    badCrc[40] = static_cast<char>(badCrc[40] ^ 0x55); // inside the pixel data
    QTest::addRow("pngDamagedData") << badCrc;
    QTest::addRow("jpegCutShort") << jpeg.left(jpeg.size() / 2);
    QByteArray badJpeg = jpeg;
    badJpeg[badJpeg.size() - 40] = static_cast<char>(0xFF);
    badJpeg[badJpeg.size() - 39] = static_cast<char>(0xD9); // an early end
    QTest::addRow("jpegEndsEarly") << badJpeg;
}

void SampledDecodeTests::damaged_failsAsTheWholeDecodeDoes() {
    QFETCH(QByteArray, bytes);
    const PictureFileResult opened = PictureFile::FromBytes(bytes, QStringLiteral("damaged"));
    if (!opened.file) {
        return; // refused from its header already
    }
    const PictureLoadResult whole = DecodeWhole(*opened.file);
    const SampledPictureResult sampled = DecodeSampled(*opened.file, 2, 2);
    QCOMPARE(bool(sampled.picture), bool(whole.picture));
    if (!whole.picture) {
        QCOMPARE(sampled.failure, PictureFailure::Unreadable);
        QVERIFY2(sampled.error.contains("damaged"), qPrintable(sampled.error));
        return;
    }
    for (int y = 0; y < opened.file->Height(); y += 2) {
        for (int x = 0; x < opened.file->Width(); x += 2) {
            QCOMPARE(sampled.picture->GetPixel(x, y), whole.picture->GetPixel(x, y));
        }
    }
}

void SampledDecodeTests::slices_giveTheSamePicture_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addRow("jpeg") << EncodeJpeg(64, 48, {3, 2, 2, false, 0});
    QTest::addRow("png") << EncodePng(64, 48, PNG_COLOR_TYPE_RGB_ALPHA, 8, Trns::None);
    // Decoded whole beside the caller, who waits a slice at a time.
    QTest::addRow("interlacedPng") << EncodePng(64, 48, PNG_COLOR_TYPE_RGB, 8, Trns::None, true);
}

void SampledDecodeTests::slices_giveTheSamePicture() {
    QFETCH(QByteArray, bytes);
    const PictureFileResult opened = PictureFile::FromBytes(bytes, QStringLiteral("sliced"));
    QVERIFY2(opened.file, qPrintable(opened.error));
    SampledDecoder decoder(*opened.file, 3, 2);
    int rowsDone = 0;
    while (!decoder.Advance(std::chrono::milliseconds(0))) {
        QVERIFY(decoder.RowsDone() >= rowsDone);
        rowsDone = decoder.RowsDone();
    }
    QCOMPARE(decoder.RowsDone(), 24);
    const SampledPictureResult sliced = decoder.Result();
    QVERIFY2(sliced.picture, qPrintable(sliced.error));
    const SampledPictureResult whole = DecodeSampled(*opened.file, 3, 2);
    QVERIFY2(whole.picture, qPrintable(whole.error));
    for (int y = 0; y < 48; y += 2) {
        for (int x = 0; x < 64; x += 3) {
            QCOMPARE(sliced.picture->GetPixel(x, y), whole.picture->GetPixel(x, y));
        }
    }
}

QTEST_GUILESS_MAIN(SampledDecodeTests)
#include "SampledDecodeTests.moc"
