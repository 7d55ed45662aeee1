#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <array>
#include <cstdint>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include "picture/Picture.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestFiles.h"

using namespace glimmora;
using glimmora::testing::ChildExit;
using glimmora::testing::ChildOptions;
using glimmora::testing::HandToUnprivileged;
using glimmora::testing::RunInChild;
using glimmora::testing::WriteFile;

namespace {

QByteArray Encode(const QImage& image, const char* format, int quality = -1) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

// CRC-32 as PNG chunks carry it.
quint32 Crc32(const QByteArray& bytes) {
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= static_cast<quint8>(c);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1u) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        }
    }
    return crc ^ 0xFFFFFFFFu;
}

QByteArray BigEndian32(quint32 value) {
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

QByteArray PngChunk(const QByteArray& type, const QByteArray& data) {
    return BigEndian32(static_cast<quint32>(data.size())) + type + data +
           BigEndian32(Crc32(type + data));
}

// A well-formed PNG whose header claims the size, with the pixels of one
// short row behind it: decoding it in full would take gigabytes.
QByteArray PngHeaderClaiming(quint32 width, quint32 height) {
    const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    QByteArray ihdr = BigEndian32(width) + BigEndian32(height);
    ihdr += QByteArray("\x08\x02\x00\x00\x00", 5);                  // 8-bit RGB, no interlace
    const QByteArray idat = qCompress(QByteArray(64, '\0')).mid(4); // zlib stream
    return signature + PngChunk("IHDR", ihdr) + PngChunk("IDAT", idat) + PngChunk("IEND", {});
}

// A JPEG with an EXIF block that says how the camera was held. Qt writes no
// EXIF, so the block is put in by hand right after the start marker.
QByteArray JpegWithOrientation(const QImage& image, quint16 orientation) {
    const QByteArray jpeg = Encode(image, "JPEG", 100);
    QByteArray tiff("MM\x00\x2a\x00\x00\x00\x08", 8);          // big endian, IFD at 8
    tiff += QByteArray("\x00\x01", 2);                         // one entry
    tiff += QByteArray("\x01\x12\x00\x03\x00\x00\x00\x01", 8); // Orientation, SHORT, 1
    tiff += char(orientation >> 8);
    tiff += char(orientation & 0xFF);
    tiff += QByteArray("\x00\x00", 2);         // padding of the value
    tiff += QByteArray("\x00\x00\x00\x00", 4); // no next IFD
    const QByteArray payload = QByteArray("Exif\x00\x00", 6) + tiff;
    const auto length = static_cast<quint16>(payload.size() + 2);
    QByteArray app1("\xff\xe1", 2);
    app1 += char(length >> 8);
    app1 += char(length & 0xFF);
    app1 += payload;
    return jpeg.left(2) + app1 + jpeg.mid(2);
}

// Two frames of 2 x 2: red, then blue.
const std::array<unsigned char, 91> kAnimatedGif = {
    0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x02, 0x00, 0x02, 0x00, 0xf0, 0x00, 0x00, 0xff, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x21, 0xff, 0x0b, 0x4e, 0x45,
    0x54, 0x53, 0x43, 0x41, 0x50, 0x45, 0x32, 0x2e, 0x30, 0x03, 0x01, 0x00, 0x00, 0x00, 0x2c, 0x00,
    0x00, 0x00, 0x00, 0x02, 0x00, 0x02, 0x00, 0x00, 0x02, 0x02, 0x84, 0x51, 0x00, 0x21, 0xf9, 0x04,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x02, 0x00, 0x80, 0x00,
    0x00, 0xff, 0x00, 0x00, 0x00, 0x02, 0x02, 0x84, 0x51, 0x00, 0x3b};

int Red(Colour c) {
    return c & 0xFF;
}
int Green(Colour c) {
    return (c >> 8) & 0xFF;
}
int Blue(Colour c) {
    return (c >> 16) & 0xFF;
}

} // namespace

class PictureTests : public QObject {
    Q_OBJECT

private slots:
    void init();

    // Pixels.
    void png_readsExactPixels();
    void pixelOutsideThePicture_isInvalid_data();
    void pixelOutsideThePicture_isInvalid();
    void grayscalePng_readsGrey();
    void fullyTransparent_readsWhite();
    void halfTransparent_composedOverWhite_data();
    void halfTransparent_composedOverWhite();
    void highDensityFileName_keepsEveryPixel();

    // What the decoder makes of the file.
    void jpegOrientation_isApplied();
    void animatedGif_firstFrame();

    // Refusals.
    void refused_data();
    void refused();
    void headerClaimsTooWide_refusedWithoutDecoding_data();
    void headerClaimsTooWide_refusedWithoutDecoding();
    void largestSide_accepted_data();
    void largestSide_accepted();
    void noPath_refused();

    // The file read once, then sampled.
    void open_refusesAtOnce_data();
    void open_refusesAtOnce();
    void open_keepsTheBytes();
    void misleadingExtension_readByItsContents();
    void streamed_decodesAsHeld_data();
    void streamed_decodesAsHeld();
    void sampled_readsTheLatticeOnly();
    void sampled_overBudget_saysSizeAndBudget_data();
    void sampled_overBudget_saysSizeAndBudget();
    void truncatedBmp_missingRowsAreWhite_data();
    void truncatedBmp_missingRowsAreWhite();
    void damagedJpeg_samplesAsTheWholeDecode();

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

void PictureTests::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

// --- Pixels -----------------------------------------------------------------

void PictureTests::png_readsExactPixels() {
    QImage image(3, 2, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(0x12, 0x34, 0x56));
    image.setPixel(1, 0, qRgb(0xFF, 0x00, 0x00));
    image.setPixel(2, 0, qRgb(0x00, 0xFF, 0x00));
    image.setPixel(0, 1, qRgb(0x00, 0x00, 0xFF));
    image.setPixel(1, 1, qRgb(0x00, 0x00, 0x00));
    image.setPixel(2, 1, qRgb(0xFF, 0xFF, 0xFF));
    const QString path = dir_->filePath("exact.png");
    QVERIFY(image.save(path, "PNG"));

    const PictureLoadResult result = LoadPictureFile(path);
    QVERIFY2(result.picture, qPrintable(result.error));
    const PictureSurface& picture = *result.picture;
    QCOMPARE(picture.Width(), 3);
    QCOMPARE(picture.Height(), 2);
    QCOMPARE(picture.GetPixel(0, 0), Colour(0x563412));
    QCOMPARE(picture.GetPixel(1, 0), Colour(0x0000FF));
    QCOMPARE(picture.GetPixel(2, 0), Colour(0x00FF00));
    QCOMPARE(picture.GetPixel(0, 1), Colour(0xFF0000));
    QCOMPARE(picture.GetPixel(1, 1), Colour(0x000000));
    QCOMPARE(picture.GetPixel(2, 1), Colour(0xFFFFFF));
    QCOMPARE(picture.Image().format(), QImage::Format_RGB32);
}

void PictureTests::pixelOutsideThePicture_isInvalid_data() {
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addRow("leftOfIt") << -1 << 0;
    QTest::addRow("aboveIt") << 0 << -1;
    QTest::addRow("justRightOfIt") << 3 << 0;
    QTest::addRow("justBelowIt") << 0 << 2;
    QTest::addRow("farAway") << 100000 << 100000;
    QTest::addRow("mostNegative") << int(INT32_MIN) << int(INT32_MIN);
}

void PictureTests::pixelOutsideThePicture_isInvalid() {
    QFETCH(int, x);
    QFETCH(int, y);
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::black);
    const QString path = dir_->filePath("small.png");
    QVERIFY(image.save(path, "PNG"));
    const PictureLoadResult result = LoadPictureFile(path);
    QVERIFY2(result.picture, qPrintable(result.error));
    QCOMPARE(result.picture->GetPixel(x, y), kInvalidColour);
}

void PictureTests::grayscalePng_readsGrey() {
    QImage image(2, 1, QImage::Format_Grayscale8);
    image.setPixel(0, 0, qRgb(0x40, 0x40, 0x40));
    image.setPixel(1, 0, qRgb(0xC8, 0xC8, 0xC8));
    const QString path = dir_->filePath("grey.png");
    QVERIFY(image.save(path, "PNG"));
    const PictureLoadResult result = LoadPictureFile(path);
    QVERIFY2(result.picture, qPrintable(result.error));
    QCOMPARE(result.picture->GetPixel(0, 0), Colour(0x404040));
    QCOMPARE(result.picture->GetPixel(1, 0), Colour(0xC8C8C8));
}

void PictureTests::fullyTransparent_readsWhite() {
    QImage image(2, 2, QImage::Format_ARGB32);
    image.fill(qRgba(0x10, 0x20, 0x30, 0)); // a colour, but nothing of it shows
    image.setPixel(1, 1, qRgba(0x10, 0x20, 0x30, 0xFF));
    const QString path = dir_->filePath("transparent.png");
    QVERIFY(image.save(path, "PNG"));
    const PictureLoadResult result = LoadPictureFile(path);
    QVERIFY2(result.picture, qPrintable(result.error));
    QCOMPARE(result.picture->GetPixel(0, 0), Colour(0xFFFFFF));
    QCOMPARE(result.picture->GetPixel(1, 0), Colour(0xFFFFFF));
    QCOMPARE(result.picture->GetPixel(1, 1), Colour(0x302010));
}

void PictureTests::halfTransparent_composedOverWhite_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("format");
    QTest::addRow("png") << "half.png"
                         << "PNG";
    QTest::addRow("tiff") << "half.tif"
                          << "TIFF";
}

void PictureTests::halfTransparent_composedOverWhite() {
    QFETCH(QString, fileName);
    QFETCH(QString, format);
    QImage image(1, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(0xFF, 0x00, 0x40, 0x80)); // red-ish at alpha 128
    const QString path = dir_->filePath(fileName);
    QVERIFY(image.save(path, qPrintable(format)));
    const PictureLoadResult result = LoadPictureFile(path);
    QVERIFY2(result.picture, qPrintable(result.error));
    const Colour c = result.picture->GetPixel(0, 0);
    // colour * a + white * (1 - a), a = 128/255: 255, 127, 159 (one off for
    // the rounding of premultiplied blending).
    QVERIFY2(qAbs(Red(c) - 255) <= 1, qPrintable(QString::number(c, 16)));
    QVERIFY2(qAbs(Green(c) - 127) <= 1, qPrintable(QString::number(c, 16)));
    QVERIFY2(qAbs(Blue(c) - 159) <= 1, qPrintable(QString::number(c, 16)));
}

void PictureTests::highDensityFileName_keepsEveryPixel() {
    // Qt reads a name ending in @2x as a picture for a high-density screen;
    // the conversion must still see every pixel where it is in the file.
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(qRgba(0, 0, 0, 0));
    image.setPixel(3, 3, qRgba(0, 0, 0, 0xFF));
    const QString path = dir_->filePath("icon@2x.png");
    QVERIFY(image.save(path, "PNG"));
    const PictureLoadResult result = LoadPictureFile(path);
    QVERIFY2(result.picture, qPrintable(result.error));
    QCOMPARE(result.picture->Width(), 4);
    QCOMPARE(result.picture->GetPixel(3, 3), Colour(0x000000));
    QCOMPARE(result.picture->GetPixel(1, 1), Colour(0xFFFFFF));
}

// --- Decoding ---------------------------------------------------------------

void PictureTests::jpegOrientation_isApplied() {
    // 16 x 8, black left half, white right half; orientation 6 means the
    // picture must be turned a quarter clockwise to stand upright: 8 x 16
    // with the black half on top.
    QImage image(16, 8, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            image.setPixel(x, y, qRgb(0, 0, 0));
        }
    }
    const QString path = dir_->filePath("camera.jpg");
    QVERIFY(WriteFile(path, JpegWithOrientation(image, 6)));

    const PictureLoadResult result = LoadPictureFile(path);
    QVERIFY2(result.picture, qPrintable(result.error));
    QCOMPARE(result.picture->Width(), 8);
    QCOMPARE(result.picture->Height(), 16);
    QVERIFY(Green(result.picture->GetPixel(4, 2)) < 40);
    QVERIFY(Green(result.picture->GetPixel(4, 13)) > 215);

    // Without the EXIF block the same picture stays as it was taken.
    const QString plainPath = dir_->filePath("plain.jpg");
    QVERIFY(WriteFile(plainPath, Encode(image, "JPEG", 100)));
    const PictureLoadResult plain = LoadPictureFile(plainPath);
    QVERIFY2(plain.picture, qPrintable(plain.error));
    QCOMPARE(plain.picture->Width(), 16);
    QCOMPARE(plain.picture->Height(), 8);
}

void PictureTests::animatedGif_firstFrame() {
    const QString path = dir_->filePath("moving.gif");
    QVERIFY(WriteFile(
        path, QByteArray(reinterpret_cast<const char*>(kAnimatedGif.data()), kAnimatedGif.size())));
    const PictureLoadResult result = LoadPictureFile(path);
    QVERIFY2(result.picture, qPrintable(result.error));
    QCOMPARE(result.picture->Width(), 2);
    QCOMPARE(result.picture->Height(), 2);
    QCOMPARE(result.picture->GetPixel(0, 0), Colour(0x0000FF)); // red, not blue
    QCOMPARE(result.picture->GetPixel(1, 1), Colour(0x0000FF));
}

// --- Refusals ---------------------------------------------------------------

void PictureTests::refused_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("bytes");

    QImage image(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            image.setPixel(x, y, qRgb(x * 4, y * 4, (x * y) & 0xFF));
        }
    }
    const QByteArray png = Encode(image, "PNG");

    QTest::addRow("textFile") << "notes.txt" << QByteArray("Just some words.\n");
    QTest::addRow("textFileNamedPng") << "notes.png" << QByteArray("Just some words.\n");
    QTest::addRow("zeroBytes") << "empty.png" << QByteArray();
    QTest::addRow("truncatedPng") << "cut.png" << png.left(png.size() / 2);
    QTest::addRow("pngSignatureOnly") << "sig.png" << png.left(8);
    QTest::addRow("missingFile") << "" << QByteArray();
    QTest::addRow("folder") << "folder.png/" << QByteArray();
}

void PictureTests::refused() {
    QFETCH(QString, fileName);
    QFETCH(QByteArray, bytes);
    QString path = dir_->filePath("does-not-exist.png");
    if (fileName.endsWith('/')) {
        path = dir_->filePath(fileName.chopped(1));
        QVERIFY(QDir().mkdir(path));
    } else if (!fileName.isEmpty()) {
        path = dir_->filePath(fileName);
        QVERIFY(WriteFile(path, bytes));
    }
    const PictureLoadResult result = LoadPictureFile(path);
    QVERIFY(!result.picture);
    QVERIFY(!result.error.isEmpty());
    QVERIFY2(result.error.contains(path), qPrintable(result.error));
}

void PictureTests::headerClaimsTooWide_refusedWithoutDecoding_data() {
    QTest::addColumn<quint32>("width");
    QTest::addColumn<quint32>("height");
    QTest::addRow("wide") << 40000u << 1u;
    QTest::addRow("tall") << 1u << 40000u;
    QTest::addRow("hugeSquare") << 40000u << 40000u;
    QTest::addRow("justTooWide") << 32768u << 1u;
}

void PictureTests::headerClaimsTooWide_refusedWithoutDecoding() {
    QFETCH(quint32, width);
    QFETCH(quint32, height);
    const QString path = dir_->filePath("huge.png");
    QVERIFY(WriteFile(path, PngHeaderClaiming(width, height)));
    const PictureLoadResult result = LoadPictureFile(path);
    QVERIFY(!result.picture);
    // The size refusal, not a decoding failure.
    QVERIFY2(result.error.contains("32767") &&
                 result.error.contains(QStringLiteral("%1 x %2").arg(width).arg(height)),
             qPrintable(result.error));
}

void PictureTests::largestSide_accepted_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addRow("wide") << 32767 << 1;
    QTest::addRow("tall") << 1 << 32767;
}

void PictureTests::largestSide_accepted() {
    QFETCH(int, width);
    QFETCH(int, height);
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    const QString path = dir_->filePath("long.png");
    QVERIFY(image.save(path, "PNG"));
    const PictureLoadResult result = LoadPictureFile(path);
    QVERIFY2(result.picture, qPrintable(result.error));
    QCOMPARE(result.picture->Width(), width);
    QCOMPARE(result.picture->Height(), height);
    QCOMPARE(result.picture->GetPixel(width - 1, height - 1), Colour(0));
}

void PictureTests::noPath_refused() {
    const PictureLoadResult result = LoadPictureFile(QString());
    QVERIFY(!result.picture);
    QVERIFY(!result.error.isEmpty());
}

// --- The file read once, then sampled ---------------------------------------

void PictureTests::open_refusesAtOnce_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::addRow("fifo") << "fifo"
                          << "not a regular file";
    QTest::addRow("device") << "/dev/null"
                            << "not a regular file";
    QTest::addRow("folder") << "folder"
                            << "is a folder";
    QTest::addRow("missing") << "missing"
                             << "no such file or directory";
    QTest::addRow("notAPicture") << "text"
                                 << "cannot be read as a picture";
    QTest::addRow("notAllowed") << "locked"
                                << "permission denied";
}

void PictureTests::open_refusesAtOnce() {
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QString path = kind.startsWith('/') ? kind : dir_->filePath(kind);
    if (kind == "fifo") {
        // Nobody ever writes into it: a read would wait for ever.
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    } else if (kind == "folder") {
        QVERIFY(QDir().mkdir(path));
    } else if (kind == "text") {
        QVERIFY(WriteFile(path, "Just some words.\n"));
    } else if (kind == "locked") {
        QVERIFY(WriteFile(path, Encode(QImage(2, 2, QImage::Format_RGB32), "PNG")));
        QVERIFY(QFile::setPermissions(path, QFile::WriteOwner));
    }
    // As an ordinary user, where the suite runs as root (who may read
    // anything).
    QVERIFY(HandToUnprivileged(dir_->path()));
    QVERIFY(!QFileInfo::exists(path) || kind.startsWith('/') || HandToUnprivileged(path));
    const ChildExit child = RunInChild(
        [&path, &reason] {
            const PictureFileResult result =
                PictureFile::Open(QFile::encodeName(path).toStdString(), path);
            return !result.file && result.failure == PictureFailure::Unreadable &&
                   result.error.contains(path) && result.error.contains(reason);
        },
        ChildOptions::Unprivileged());
    QVERIFY(child.Passed());
}

void PictureTests::open_keepsTheBytes() {
    // A name that is not UTF-8 opens by its bytes; removing the file after
    // it was read changes nothing.
    QImage image(5, 3, QImage::Format_RGB32);
    image.fill(qRgb(0x10, 0x20, 0x30));
    const QByteArray name = QFile::encodeName(dir_->path()) + "/caf\xe9.png";
    const QByteArray png = Encode(image, "PNG");
    std::FILE* file = std::fopen(name.constData(), "wb");
    QVERIFY(file);
    QCOMPARE(std::fwrite(png.constData(), 1, png.size(), file), std::size_t(png.size()));
    QCOMPARE(std::fclose(file), 0);
    const PictureFileResult opened = PictureFile::Open(name.toStdString(), QStringLiteral("cafe"));
    QVERIFY2(opened.file, qPrintable(opened.error));
    QCOMPARE(::unlink(name.constData()), 0);
    QCOMPARE(opened.file->Width(), 5);
    QCOMPARE(opened.file->Height(), 3);
    const SampledPictureResult sampled = DecodeSampled(*opened.file, 2, 2);
    QVERIFY2(sampled.picture, qPrintable(sampled.error));
    QCOMPARE(sampled.picture->GetPixel(4, 2), Colour(0x302010));
}

void PictureTests::misleadingExtension_readByItsContents() {
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(qRgb(0xFF, 0x80, 0x00));
    const PictureFileResult opened =
        PictureFile::FromBytes(Encode(image, "PNG"), QStringLiteral("photo.jpg"));
    QVERIFY2(opened.file, qPrintable(opened.error));
    QCOMPARE(opened.file->Format(), QByteArray("png"));
    const SampledPictureResult sampled = DecodeSampled(*opened.file, 1, 1);
    QVERIFY2(sampled.picture, qPrintable(sampled.error));
    QCOMPARE(sampled.picture->GetPixel(3, 3), Colour(0x0080FF));
}

void PictureTests::streamed_decodesAsHeld_data() {
    QTest::addColumn<QByteArray>("bytes");
    QImage image(45, 31, QImage::Format_ARGB32);
    for (int y = 0; y < 31; ++y) {
        for (int x = 0; x < 45; ++x) {
            image.setPixel(x, y, qRgba(x * 5, y * 8, (x * y) & 0xFF, (x * 11) & 0xFF));
        }
    }
    QTest::addRow("jpegUpsideDown") << JpegWithOrientation(image, 3);
    QTest::addRow("jpegTurned") << JpegWithOrientation(image, 6);
    QTest::addRow("png") << Encode(image, "PNG");
    QTest::addRow("bmp") << Encode(image, "BMP");
}

void PictureTests::streamed_decodesAsHeld() {
    // Read as it is decoded, the file gives what its bytes read at once give.
    QFETCH(QByteArray, bytes);
    const QString path = dir_->filePath("streamed");
    QVERIFY(WriteFile(path, bytes));
    const std::string name = QFile::encodeName(path).toStdString();
    const PictureFileResult held = PictureFile::Open(name, path);
    const PictureFileResult streamed = PictureFile::OpenStreamed(name, path);
    QVERIFY2(held.file && streamed.file, qPrintable(held.error + streamed.error));
    QCOMPARE(streamed.file->Size(), qint64(bytes.size()));
    QCOMPARE(streamed.file->Width(), held.file->Width());
    QCOMPARE(streamed.file->Height(), held.file->Height());
    const SampledPictureResult a = DecodeSampled(*held.file, 3, 2);
    const SampledPictureResult b = DecodeSampled(*streamed.file, 3, 2);
    QVERIFY2(a.picture && b.picture, qPrintable(a.error + b.error));
    for (int y = 0; y < held.file->Height(); y += 2) {
        for (int x = 0; x < held.file->Width(); x += 3) {
            QCOMPARE(b.picture->GetPixel(x, y), a.picture->GetPixel(x, y));
        }
    }
}

void PictureTests::sampled_readsTheLatticeOnly() {
    QImage image(7, 5, QImage::Format_RGB32);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            image.setPixel(x, y, qRgb(x * 30, y * 50, 7));
        }
    }
    const PictureFileResult opened =
        PictureFile::FromBytes(Encode(image, "PNG"), QStringLiteral("lattice"));
    QVERIFY2(opened.file, qPrintable(opened.error));
    const SampledPictureResult sampled = DecodeSampled(*opened.file, 3, 2);
    QVERIFY2(sampled.picture, qPrintable(sampled.error));
    const SampledPicture& picture = *sampled.picture;
    QCOMPARE(picture.Columns(), 3); // 0, 3, 6
    QCOMPARE(picture.Rows(), 3);    // 0, 2, 4
    QCOMPARE(picture.GetPixel(6, 4), Colour(0x07C8B4));
    QCOMPARE(picture.GetPixel(3, 2), Colour(0x07645A));
    QCOMPARE(picture.GetPixel(1, 0), kInvalidColour); // between points
    QCOMPARE(picture.GetPixel(0, 6), kInvalidColour); // below the picture
}

void PictureTests::sampled_overBudget_saysSizeAndBudget_data() {
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("refusal"); // empty: decoded
    // 300 x 200 points of three bytes do not fit in 100000 bytes, 150 x 100
    // do; a BMP is decoded whole, four bytes a pixel and a composed copy.
    QTest::addRow("pngSamplesTooMany") << QByteArray("PNG") << 1 << "at steps of 1 x 1";
    QTest::addRow("pngSamplesFit") << QByteArray("PNG") << 2 << "";
    QTest::addRow("bmpWholeTooLarge") << QByteArray("BMP") << 2 << "decoding it whole";
    // A progressive JPEG is held whole as coefficients until its last scan.
    QTest::addRow("progressiveJpegTooLarge") << QByteArray("progressive") << 2 << "decoding it";
    QTest::addRow("jpegSamplesFit") << QByteArray("JPEG") << 2 << "";
}

void PictureTests::sampled_overBudget_saysSizeAndBudget() {
    QFETCH(QByteArray, format);
    QFETCH(int, step);
    QFETCH(QString, refusal);
    QImage image(300, 200, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QByteArray bytes;
    if (format == "progressive") {
        QBuffer buffer(&bytes);
        QImageWriter writer(&buffer, "JPEG");
        writer.setProgressiveScanWrite(true);
        QVERIFY(writer.write(image));
    } else {
        bytes = Encode(image, format.constData());
    }
    const PictureFileResult opened = PictureFile::FromBytes(bytes, QStringLiteral("grey.pic"));
    QVERIFY2(opened.file, qPrintable(opened.error));
    const SampledPictureResult sampled = DecodeSampled(*opened.file, step, step, 100000);
    if (refusal.isEmpty()) {
        QVERIFY2(sampled.picture, qPrintable(sampled.error));
        return;
    }
    QVERIFY(!sampled.picture);
    QCOMPARE(sampled.failure, PictureFailure::OverBudget);
    QVERIFY2(sampled.error.contains("grey.pic") && sampled.error.contains("300 x 200") &&
                 sampled.error.contains(refusal) && sampled.error.contains("1 MiB"),
             qPrintable(sampled.error));
}

void PictureTests::truncatedBmp_missingRowsAreWhite_data() {
    QTest::addColumn<bool>("topDown"); // a negative height in the header
    QTest::addRow("bottomUp") << false;
    QTest::addRow("topDown") << true;
}

void PictureTests::truncatedBmp_missingRowsAreWhite() {
    // A BMP cut off half-way: Qt's reader stops at the end of the data and
    // keeps the rows it read. The rows it never reached read white, not as
    // whatever the memory held.
    QFETCH(bool, topDown);
    QImage image(4, 64, QImage::Format_RGB32);
    image.fill(Qt::black);
    QByteArray bmp = Encode(image, "BMP");
    if (topDown) {
        qToLittleEndian<qint32>(-64, bmp.data() + 22);
    }
    const PictureFileResult opened =
        PictureFile::FromBytes(bmp.left(bmp.size() / 2), QStringLiteral("cut.bmp"));
    QVERIFY2(opened.file, qPrintable(opened.error));
    const PictureLoadResult whole = DecodeWhole(*opened.file);
    QVERIFY2(whole.picture, qPrintable(whole.error));
    const SampledPictureResult sampled = DecodeSampled(*opened.file, 1, 1);
    QVERIFY2(sampled.picture, qPrintable(sampled.error));
    const int readRow = topDown ? 0 : 63;
    for (const PixelSource* picture : {static_cast<const PixelSource*>(whole.picture.get()),
                                       static_cast<const PixelSource*>(sampled.picture.get())}) {
        QCOMPARE(picture->GetPixel(3, 63 - readRow), Colour(0xFFFFFF));
        QCOMPARE(picture->GetPixel(0, readRow), Colour(0x000000));
    }
}

void PictureTests::damagedJpeg_samplesAsTheWholeDecode() {
    // Damaged data that libjpeg makes the best of, differently when rows are
    // skipped (found by the fuzzer): the samples still hold the whole
    // decode's colours.
    const PictureFileResult opened = PictureFile::FromBytes(
        QByteArray::fromBase64(
            "/9j34AAQSkZJRgABWwEBAGAAYAD//9sAQwAImAojZGVmaW5lIF8GBgcGBQgHBzsi6YKs0J+YfVA0CjkzIDf6"
            "qAEhe4AuAAAAAAAAAAAAAAAAAAAAMjwuMzQy/9sAQwEJCQkMCwwYDQ0YMiEcJiEyMjIyMjIyMQMyAgxOYCFN"
            "TgEmOwKYn+KsgPDMUDQKM7MgN0xVP0RJT1xkMjIyMjIyMjL/wAARCAAHAA0DASMAAhEBAxEB5+jp6vf4+fr/"
            "2gAMAwEAAhEDEQAy5xZBm+L5PiP/2Q=="),
        QStringLiteral("damaged.jpg"));
    QVERIFY2(opened.file, qPrintable(opened.error));
    const PictureLoadResult whole = DecodeWhole(*opened.file);
    QVERIFY2(whole.picture, qPrintable(whole.error));
    const SampledPictureResult sampled = DecodeSampled(*opened.file, 1, 4);
    QVERIFY2(sampled.picture, qPrintable(sampled.error));
    for (int x = 0; x < whole.picture->Width(); ++x) {
        QCOMPARE(sampled.picture->GetPixel(x, 4), whole.picture->GetPixel(x, 4));
    }
}

QTEST_GUILESS_MAIN(PictureTests)
#include "PictureTests.moc"
