#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QtTest>

#include <zlib.h>

#include "picture/ContentLimits.h"
#include "picture/PictureFile.h"
#include "picture/SampledDecoder.h"

using namespace glimmora;

namespace {

// A small progressive JPEG: Qt's writer gives about ten scans.
QByteArray ProgressiveJpeg(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    writer.setQuality(90);
    writer.write(image);
    return bytes;
}

// The scan bomb: the progressive picture with its last scan (its SOS
// marker to the end of its data) repeated before the end.
QByteArray WithLastScanRepeated(const QByteArray& jpeg, int times) {
    const qsizetype lastScan = jpeg.lastIndexOf(QByteArray("\xFF\xDA", 2));
    const qsizetype end = jpeg.lastIndexOf(QByteArray("\xFF\xD9", 2));
    const QByteArray scan = jpeg.mid(lastScan, end - lastScan);
    return jpeg.left(end) + scan.repeated(times) + jpeg.mid(end);
}

QByteArray Gzip(const QByteArray& data) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    QByteArray out(static_cast<qsizetype>(deflateBound(&stream, uLong(data.size()))), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.truncate(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

std::shared_ptr<const PictureFile> FileOf(const QByteArray& bytes) {
    return std::make_shared<PictureFile>(PictureFile::Private{}, bytes, QStringLiteral("p"));
}

} // namespace

class ContentLimitsTests : public QObject {
    Q_OBJECT

private slots:
    void jpegScans_counted_data() {
        QTest::addColumn<int>("repeats");
        QTest::addColumn<bool>("refused");
        QTest::addRow("asWritten") << 0 << false;
        QTest::addRow("upToTheLimit") << 400 << false;
        QTest::addRow("scanBomb") << 2000 << true;
    }
    void jpegScans_counted() {
        QFETCH(int, repeats);
        QFETCH(bool, refused);
        QImage image(48, 32, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                image.setPixel(x, y, qRgb(x * 5, y * 7, (x * y) % 256));
            }
        }
        const QByteArray plain = ProgressiveJpeg(image);
        const int written = CountJpegScans(*FileOf(plain), kMostJpegScans);
        QVERIFY2(written > 1 && written < 20, qPrintable(QString::number(written)));
        const QByteArray bytes = WithLastScanRepeated(plain, repeats);
        QCOMPARE(CountJpegScans(*FileOf(bytes), kMostJpegScans),
                 std::min(written + repeats, kMostJpegScans + 1));

        const PictureFileResult opened = PictureFile::FromBytes(bytes, QStringLiteral("bomb.jpg"));
        QCOMPARE(!opened.file, refused);
        if (refused) {
            QCOMPARE(opened.error, QStringLiteral("bomb.jpg is a JPEG picture of more than 500 "
                                                  "scans; it is refused, as decoding so many "
                                                  "would take minutes."));
        } else {
            QVERIFY(DecodeSampled(*opened.file, 1, 1).picture);
        }
    }

    void inflatedSize_countedUpToTheLimit_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("limit");
        QTest::addColumn<qint64>("counted"); // -1: past the limit
        QTest::addRow("within") << 100000 << 200000 << qint64(100000);
        QTest::addRow("exactlyTheLimit") << 100000 << 100000 << qint64(100000);
        QTest::addRow("beyond_stopsEarly") << 4000000 << 1000 << qint64(-1);
    }
    void inflatedSize_countedUpToTheLimit() {
        QFETCH(int, size);
        QFETCH(int, limit);
        QFETCH(qint64, counted);
        const std::optional<std::uint64_t> inflated =
            InflatedSize(*FileOf(Gzip(QByteArray(size, 'a'))), std::uint64_t(limit));
        QVERIFY(inflated);
        if (counted < 0) {
            QVERIFY(*inflated > std::uint64_t(limit) && *inflated < std::uint64_t(size));
        } else {
            QCOMPARE(*inflated, std::uint64_t(counted));
        }
        QVERIFY(!InflatedSize(*FileOf("<svg/>"), 1000));
    }

    // A JPEG cut short whose whole decode is over the budget converts from
    // what libjpeg made of it, instead of being called too large.
    void truncatedJpeg_overBudgetWhole_keepsTheSamples() {
        QImage image(1000, 1000, QImage::Format_RGB32);
        image.fill(qRgb(200, 100, 50));
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(image.save(&buffer, "JPEG"));
        const PictureFileResult opened =
            PictureFile::FromBytes(jpeg.left(jpeg.size() * 2 / 3), QStringLiteral("cut.jpg"));
        QVERIFY(opened.file);
        // Room for the samples, not for the whole picture (8 MB).
        const SampledPictureResult result = DecodeSampled(*opened.file, 10, 10, 2 * 1024 * 1024);
        QVERIFY2(result.picture, qPrintable(result.error));
        QCOMPARE(result.picture->Rows(), 100);
    }
};

QTEST_GUILESS_MAIN(ContentLimitsTests)
#include "ContentLimitsTests.moc"
