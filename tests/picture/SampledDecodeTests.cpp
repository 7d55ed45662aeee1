// The sampled decode against the whole decode: for JPEGs and PNGs of every
// kind the direct decoders follow, and a few they hand to Qt, every sampled
// point must hold the colour the whole decode has there, at several steps.

#include <QtTest>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>
#include <png.h>

#include "picture/Picture.h"

using namespace glimmora;

namespace {

// A picture with smooth parts, sharp edges and noise, so that chroma
// upsampling, the IDCT and the alpha blend all show.
int Sample(int x, int y, int channel, int maximum) {
    const unsigned hash = (static_cast<unsigned>(x) * 73856093u) ^
                          (static_cast<unsigned>(y) * 19349663u) ^
                          (static_cast<unsigned>(channel + 1) * 83492791u);
    int value = 0;
    if ((x / 5 + y / 7) % 3 == 0) {
        value = static_cast<int>(hash % static_cast<unsigned>(maximum + 1));
    } else {
        value = (x * 7 + y * 3 + channel * 50) % (maximum + 1);
    }
    return value;
}

// --- JPEG -------------------------------------------------------------------

struct JpegKind {
    int components = 3; // 1 grey, 3 colour, 4 CMYK
    int h = 2;          // luma sampling factors
    int v = 2;
    bool progressive = false;
    int restartRows = 0;
};

QByteArray EncodeJpeg(int width, int height, const JpegKind& kind) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = kind.components;
    info.in_color_space = kind.components == 1   ? JCS_GRAYSCALE
                          : kind.components == 3 ? JCS_RGB
                                                 : JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 85, TRUE);
    info.comp_info[0].h_samp_factor = kind.h;
    info.comp_info[0].v_samp_factor = kind.v;
    if (kind.progressive) {
        jpeg_simple_progression(&info);
    }
    info.restart_in_rows = kind.restartRows;
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width * kind.components));
    while (info.next_scanline < info.image_height) {
        const int y = static_cast<int>(info.next_scanline);
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < kind.components; ++c) {
                row[static_cast<std::size_t>(x * kind.components + c)] =
                    static_cast<JSAMPLE>(Sample(x, y, c, 255));
            }
        }
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(out), static_cast<qsizetype>(size));
    std::free(out);
    return bytes;
}

// The EXIF block that says how the camera was held, in either byte order,
// right after the start; another APP1 block may come first.
QByteArray WithOrientation(const QByteArray& jpeg, int orientation, bool intel = false,
                           const QByteArray& before = {}) {
    QByteArray tiff = intel ? QByteArray("II\x2a\x00\x08\x00\x00\x00\x01\x00\x12\x01\x03\x00"
                                         "\x01\x00\x00\x00",
                                         18)
                            : QByteArray("MM\x00\x2a\x00\x00\x00\x08\x00\x01\x01\x12\x00\x03"
                                         "\x00\x00\x00\x01",
                                         18);
    tiff += intel ? char(orientation) : char(0);
    tiff += intel ? char(0) : char(orientation);
    tiff += QByteArray(6, '\0');
    const auto app1 = [](const QByteArray& payload) {
        QByteArray marker("\xff\xe1", 2);
        marker += char((payload.size() + 2) >> 8);
        marker += char((payload.size() + 2) & 0xFF);
        return marker + payload;
    };
    const QByteArray first = before.isEmpty() ? QByteArray() : app1(before);
    return jpeg.left(2) + first + app1(QByteArray("Exif\x00\x00", 6) + tiff) + jpeg.mid(2);
}

// --- PNG --------------------------------------------------------------------

enum class Trns { None, Some };

extern "C" void AppendPngBytes(png_structp png, png_bytep data, png_size_t length) {
    static_cast<QByteArray*>(png_get_io_ptr(png))
        ->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
}
extern "C" void FlushNothing(png_structp) {}

QByteArray EncodePng(int width, int height, int colourType, int depth, Trns trns,
                     bool interlaced = false) {
    QByteArray bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &bytes, AppendPngBytes, FlushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height),
                 depth, colourType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    const int maximum = (1 << depth) - 1;
    const int channels = colourType == PNG_COLOR_TYPE_GRAY         ? 1
                         : colourType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                         : colourType == PNG_COLOR_TYPE_RGB        ? 3
                         : colourType == PNG_COLOR_TYPE_RGB_ALPHA  ? 4
                                                                   : 1;
    std::vector<png_color> palette;
    std::vector<png_byte> alphas;
    png_color_16 transparent{};
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        for (int i = 0; i <= maximum; ++i) {
            palette.push_back({static_cast<png_byte>(i * 37), static_cast<png_byte>(255 - i * 11),
                               static_cast<png_byte>(i * 101)});
            alphas.push_back(static_cast<png_byte>((i * 97) % 256));
        }
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
        if (trns == Trns::Some) {
            // Fewer alphas than colours: the rest are opaque.
            png_set_tRNS(png, info, alphas.data(), std::max(1, maximum / 2), nullptr);
        }
    } else if (trns == Trns::Some) {
        // The colour of the point (0, 0) is the transparent one.
        transparent.gray = static_cast<png_uint_16>(Sample(0, 0, 0, maximum));
        transparent.red = static_cast<png_uint_16>(Sample(0, 0, 0, maximum));
        transparent.green = static_cast<png_uint_16>(Sample(0, 0, 1, maximum));
        transparent.blue = static_cast<png_uint_16>(Sample(0, 0, 2, maximum));
        png_set_tRNS(png, info, nullptr, 0, &transparent);
    }
    png_write_info(png, info);
    const int bitsPerPixel = channels * depth;
    std::vector<png_byte> row(static_cast<std::size_t>((width * bitsPerPixel + 7) / 8));
    const int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < height; ++y) {
            std::fill(row.begin(), row.end(), 0);
            for (int x = 0; x < width; ++x) {
                // Every fifth point takes the transparent colour, or in a
                // palette picture the first entries.
                const bool repeat = (x + y) % 5 == 0;
                for (int c = 0; c < channels; ++c) {
                    const int value = repeat ? Sample(0, 0, c, maximum) : Sample(x, y, c, maximum);
                    const int bit = (x * channels + c) * depth;
                    if (depth == 16) {
                        row[static_cast<std::size_t>(bit / 8)] = static_cast<png_byte>(value >> 8);
                        row[static_cast<std::size_t>(bit / 8 + 1)] =
                            static_cast<png_byte>(value & 0xFF);
                    } else {
                        row[static_cast<std::size_t>(bit / 8)] |=
                            static_cast<png_byte>(value << (8 - depth - bit % 8));
                    }
                }
            }
            png_write_row(png, row.data());
        }
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

} // namespace

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
