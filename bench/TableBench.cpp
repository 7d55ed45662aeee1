#include "TableBench.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "BenchPictures.h"
#include "MeasuredRun.h"
#include "ViewerBench.h"
#include "WizardBench.h"

namespace glimmora {

namespace {

// A camera-like JPEG (4:2:0, quality 90) of any size, written a row at a
// time so that no picture of that size is ever held: soft waves with a
// grain of noise.
bool WriteCameraJpeg(const QString& path, int width, int height) {
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (file == nullptr) {
        return false;
    }
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * 3);
    std::uint32_t state = 0x2545F491u;
    while (info.next_scanline < info.image_height) {
        const double fy = static_cast<double>(info.next_scanline) / height;
        for (int x = 0; x < width; ++x) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            const int noise = static_cast<int>(state % 25) - 12;
            const double fx = static_cast<double>(x) / width;
            const double wave = std::sin(fx * 9.0 + std::cos(fy * 7.0) * 2.0);
            const int tone[3] = {static_cast<int>(128 + 90 * wave + 30 * fy),
                                 static_cast<int>(200 * fx * (1.0 - fy) + 40),
                                 static_cast<int>(255 * fy * fy)};
            for (int c = 0; c < 3; ++c) {
                row[static_cast<std::size_t>(x) * 3 + c] =
                    static_cast<JSAMPLE>(std::clamp(tone[c] + noise, 0, 255));
            }
        }
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(file) == 0;
}

// The structural similarity of two lightness pictures of one size, the
// mean over 8 x 8 windows.
double Ssim(const std::vector<double>& a, const std::vector<double>& b, int width, int height) {
    constexpr int kWindow = 8;
    constexpr double kC1 = 6.5025;  // (0.01 * 255)^2
    constexpr double kC2 = 58.5225; // (0.03 * 255)^2
    double sum = 0;
    int windows = 0;
    for (int top = 0; top + kWindow <= height; top += kWindow / 2) {
        for (int left = 0; left + kWindow <= width; left += kWindow / 2) {
            double ma = 0, mb = 0, va = 0, vb = 0, cov = 0;
            for (int y = top; y < top + kWindow; ++y) {
                for (int x = left; x < left + kWindow; ++x) {
                    ma += a[static_cast<std::size_t>(y * width + x)];
                    mb += b[static_cast<std::size_t>(y * width + x)];
                }
            }
            constexpr double kCount = kWindow * kWindow;
            ma /= kCount;
            mb /= kCount;
            for (int y = top; y < top + kWindow; ++y) {
                for (int x = left; x < left + kWindow; ++x) {
                    const double da = a[static_cast<std::size_t>(y * width + x)] - ma;
                    const double db = b[static_cast<std::size_t>(y * width + x)] - mb;
                    va += da * da;
                    vb += db * db;
                    cov += da * db;
                }
            }
            va /= kCount - 1;
            vb /= kCount - 1;
            cov /= kCount - 1;
            sum += ((2 * ma * mb + kC1) * (2 * cov + kC2)) /
                   ((ma * ma + mb * mb + kC1) * (va + vb + kC2));
            ++windows;
        }
    }
    return windows > 0 ? sum / windows : 0;
}

// The lightness of a picture scaled (area-averaged) to width x height.
std::vector<double> Lightness(const QImage& image, int width, int height) {
    const QImage scaled =
        image.convertToFormat(QImage::Format_RGB32)
            .scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    std::vector<double> values;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = scaled.pixel(x, y);
            values.push_back(0.299 * qRed(pixel) + 0.587 * qGreen(pixel) + 0.114 * qBlue(pixel));
        }
    }
    return values;
}

void Row(const char* measure, const QString& figure, const char* goal, bool met) {
    std::printf("| %-58s | %-44s | %-12s | %s\n", measure, qPrintable(figure), goal,
                met ? "met" : "MISSED");
    std::fflush(stdout);
}

QString Failed(const Measured& measured) {
    return measured.ran ? QStringLiteral("exit %1").arg(measured.status)
                        : QStringLiteral("could not be run");
}

} // namespace

void RunTableBenchmark() {
    QTemporaryDir folder;
    const QString photo = folder.filePath(QStringLiteral("photo.jpg"));
    const QString png = folder.filePath(QStringLiteral("photo.png"));
    const QString huge = folder.filePath(QStringLiteral("huge.jpg"));
    const QString hundred = folder.filePath(QStringLiteral("hundred.jpg"));
    const QString out = folder.filePath(QStringLiteral("out"));
    std::printf("table: writing the pictures (12 MP JPEG and PNG, 100 MP and 400 MP JPEG)...\n");
    std::fflush(stdout);
    const QImage pngPicture =
        PhotoLikePicture(4000, 3000, 0x2545F491u, 12, [](double fx, double fy) {
            const double wave = std::sin(fx * 9.0 + std::cos(fy * 7.0) * 2.0);
            return Tone{static_cast<int>(128 + 90 * wave + 30 * fy),
                        static_cast<int>(200 * fx * (1.0 - fy) + 40),
                        static_cast<int>(255 * fy * fy)};
        });
    if (!folder.isValid() || !WriteCameraJpeg(photo, 4000, 3000) || !pngPicture.save(png, "PNG") ||
        !WriteCameraJpeg(huge, 20000, 20000) || !WriteCameraJpeg(hundred, 10000, 10000)) {
        std::printf("table: the pictures could not be written\n");
        return;
    }
    const QString convert = Binary("glimmora-convert");
    std::printf("| %-58s | %-44s | %-12s |\n", "Measure", "Measured", "Goal");

    // The floor: the converter's libraries loaded, nothing decoded.
    const Measured floor = Measure(convert, {QStringLiteral("--version")});
    std::printf("| %-58s | %-44s | %-12s |\n",
                "(floor: glimmora-convert --version, peak RSS, time)",
                qPrintable(QStringLiteral("%1 MiB, %2 ms")
                               .arg(floor.peakMiB, 0, 'f', 1)
                               .arg(floor.seconds * 1e3, 0, 'f', 0)),
                "");

    const QString djpeg = QStandardPaths::findExecutable(QStringLiteral("djpeg"));
    const Measured jpegRtf = Measure(convert, {photo, QStringLiteral("-o"), out + ".rtf"});
    if (jpegRtf.ran && jpegRtf.status == 0 && !djpeg.isEmpty()) {
        const Measured reference =
            Measure(djpeg, {QStringLiteral("-outfile"), QStringLiteral("/dev/null"), photo});
        const double ratio = jpegRtf.seconds / reference.seconds;
        Row("12-MP 4:2:0 JPEG -> RTF, proposed scale: time / djpeg",
            QStringLiteral("%1 (%2 ms / %3 ms)")
                .arg(ratio, 0, 'f', 2)
                .arg(jpegRtf.seconds * 1e3, 0, 'f', 0)
                .arg(reference.seconds * 1e3, 0, 'f', 0),
            "<= 1.1", ratio <= 1.1);
    } else {
        Row("12-MP 4:2:0 JPEG -> RTF, proposed scale: time / djpeg",
            djpeg.isEmpty() ? QStringLiteral("no djpeg installed") : Failed(jpegRtf), "<= 1.1",
            false);
    }
    Row("same, peak RSS of the process",
        jpegRtf.ran && jpegRtf.status == 0
            ? QStringLiteral("%1 MiB").arg(jpegRtf.peakMiB, 0, 'f', 1)
            : Failed(jpegRtf),
        "<= 16 MB", jpegRtf.status == 0 && jpegRtf.peakMiB * 1.048576 <= 16);

    const Measured pngRtf = Measure(convert, {png, QStringLiteral("-o"), out + ".rtf"}, 1);
    Row("12-MP PNG -> RTF, peak RSS",
        pngRtf.status == 0 ? QStringLiteral("%1 MiB (%2 ms)")
                                 .arg(pngRtf.peakMiB, 0, 'f', 1)
                                 .arg(pngRtf.seconds * 1e3, 0, 'f', 0)
                           : Failed(pngRtf),
        "<= 16 MB", pngRtf.status == 0 && pngRtf.peakMiB * 1.048576 <= 16);

    const Measured coloured =
        Measure(convert,
                {photo, QStringLiteral("-f"), QStringLiteral("html-color"), QStringLiteral("-s"),
                 QStringLiteral("1x1"), QStringLiteral("-o"), out + ".html"},
                1);
    Row("12-MP JPEG -> coloured HTML at 1 x 1, peak RSS",
        coloured.status == 0 ? QStringLiteral("%1 MiB (%2 ms)")
                                   .arg(coloured.peakMiB, 0, 'f', 1)
                                   .arg(coloured.seconds * 1e3, 0, 'f', 0)
                             : Failed(coloured),
        "<= 64 MB", coloured.status == 0 && coloured.peakMiB * 1.048576 <= 64);

    // The art as a PNG picture.
    const QStringList pictureArgs{photo,
                                  QStringLiteral("-f"),
                                  QStringLiteral("png"),
                                  QStringLiteral("--art"),
                                  QStringLiteral("html-color"),
                                  QStringLiteral("--word"),
                                  QStringLiteral("GLIMMORA"),
                                  QStringLiteral("-o"),
                                  out + ".png"};
    const Measured picture = Measure(convert, pictureArgs);
    Row("12-MP JPEG -> coloured HTML art as PNG, proposed scale: time",
        picture.status == 0 ? QStringLiteral("%1 s (%2 MiB)")
                                  .arg(picture.seconds, 0, 'f', 2)
                                  .arg(picture.peakMiB, 0, 'f', 1)
                            : Failed(picture),
        "<= 3 s", picture.status == 0 && picture.seconds <= 3);
    const Measured pictureAtOne =
        Measure(convert, pictureArgs + QStringList{QStringLiteral("-s"), QStringLiteral("1x1")}, 1);
    const double overFloor = (pictureAtOne.peakMiB - floor.peakMiB) * 1.048576;
    Row("same at 1 x 1: peak RSS over the floor",
        pictureAtOne.status == 0 ? QStringLiteral("%1 MB (%2 MiB, %3 s)")
                                       .arg(overFloor, 0, 'f', 1)
                                       .arg(pictureAtOne.peakMiB, 0, 'f', 1)
                                       .arg(pictureAtOne.seconds, 0, 'f', 1)
                                 : Failed(pictureAtOne),
        "<= 64 MB", pictureAtOne.status == 0 && overFloor <= 64);
    const Measured blocks =
        Measure(convert,
                {photo, QStringLiteral("-f"), QStringLiteral("png"), QStringLiteral("--art"),
                 QStringLiteral("text"), QStringLiteral("--symbols"), QStringLiteral("blocks"),
                 QStringLiteral("--fill"), QStringLiteral("--colors"), QStringLiteral("full"),
                 QStringLiteral("--columns"), QStringLiteral("200"), QStringLiteral("-o"),
                 out + "-blocks.png"},
                1);
    QImage blockArt(out + "-blocks.png");
    QImage original(photo);
    // Two samples a cell: its upper and lower half.
    const int columns = 200;
    const int rows = blockArt.isNull() ? 0 : columns * original.height() / original.width() / 2;
    const double ssim = rows > 0 ? Ssim(Lightness(blockArt, columns, 2 * rows),
                                        Lightness(original, columns, 2 * rows), columns, 2 * rows)
                                 : 0;
    Row("block art (--symbols blocks --fill) as PNG vs the picture: SSIM",
        blocks.status == 0 && rows > 0
            ? QStringLiteral("%1 (%2 x %3 cells)").arg(ssim, 0, 'f', 3).arg(columns).arg(rows)
            : Failed(blocks),
        ">= 0.95", ssim >= 0.95);

    const Measured large = Measure(convert, {huge, QStringLiteral("-o"), out + ".rtf"}, 1);
    Row("20000 x 20000 JPEG (400 MP) -> RTF",
        large.status == 0 ? QStringLiteral("converts, %1 MiB (%2 s)")
                                .arg(large.peakMiB, 0, 'f', 1)
                                .arg(large.seconds, 0, 'f', 1)
                          : Failed(large),
        "<= 64 MB", large.status == 0 && large.peakMiB * 1.048576 <= 64);

    const WizardStalls stalls = MeasureWizardStalls(hundred);
    Row("choosing a 100-MP picture in the wizard: longest GUI stall",
        stalls.chosen ? QStringLiteral("%1 ms").arg(stalls.choosing, 0, 'f', 0)
                      : QStringLiteral("not chosen"),
        "<= 0.2 s", stalls.chosen && stalls.choosing <= 200);
    Row("(same picture, page 5 at the proposed scale: longest stall)",
        stalls.converted ? QStringLiteral("%1 ms (done in %2 s)")
                               .arg(stalls.converting, 0, 'f', 0)
                               .arg(stalls.convertSeconds, 0, 'f', 1)
                         : QStringLiteral("did not finish"),
        "~16 ms", stalls.converted && stalls.converting <= 20);

    const ViewerFigures rtfArt = MeasureViewer(false);
    Row("viewer showing 12-MP 1 x 1 RTF art",
        QStringLiteral("%1 ms (%2 MB)")
            .arg(rtfArt.shownMilliseconds, 0, 'f', 0)
            .arg(rtfArt.artMegabytes, 0, 'f', 0),
        "<= 0.5 s", rtfArt.shownMilliseconds <= 500);
    const ViewerFigures colouredArt = MeasureViewer(true);
    Row("viewer showing 1-MP coloured 1 x 1 art",
        QStringLiteral("%1 ms (%2 MB), repaint %3 ms, slowest %4 ms")
            .arg(colouredArt.shownMilliseconds, 0, 'f', 0)
            .arg(colouredArt.artMegabytes, 0, 'f', 0)
            .arg(colouredArt.meanRepaintMilliseconds, 0, 'f', 1)
            .arg(colouredArt.slowestRepaintMilliseconds, 0, 'f', 1),
        "<= 0.5 s",
        colouredArt.shownMilliseconds <= 500 && colouredArt.slowestRepaintMilliseconds <= 50);
}

} // namespace glimmora
