#pragma once

// Pictures encoded in the tests, of every kind the direct decoders read:
// JPEGs through libjpeg, PNGs through libpng.

#include <QByteArray>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include <jpeglib.h>
#include <png.h>

namespace glimmora::testing {

// A picture with smooth parts, sharp edges and noise, so that chroma
// upsampling, the IDCT and the alpha blend all show.
inline int Sample(int x, int y, int channel, int maximum) {
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

// A channel's value at a point, 0..maximum (a palette picture's index).
using PixelValue = std::function<int(int x, int y, int channel, int maximum)>;

inline QByteArray EncodeJpeg(int width, int height, const JpegKind& kind,
                             const PixelValue& value = Sample, int quality = 85) {
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
    jpeg_set_quality(&info, quality, TRUE);
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
                    static_cast<JSAMPLE>(value(x, y, c, 255));
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
inline QByteArray WithOrientation(const QByteArray& jpeg, int orientation, bool intel = false,
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

extern "C" inline void AppendPngBytes(png_structp png, png_bytep data, png_size_t length) {
    static_cast<QByteArray*>(png_get_io_ptr(png))
        ->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
}
extern "C" inline void FlushNothing(png_structp) {}

// Without value, the points of Sample, every fifth one the transparent
// colour or the first palette entries.
inline QByteArray EncodePng(int width, int height, int colourType, int depth, Trns trns,
                            bool interlaced = false, const PixelValue& value = {}) {
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
                    const int level = value    ? value(x, y, c, maximum)
                                      : repeat ? Sample(0, 0, c, maximum)
                                               : Sample(x, y, c, maximum);
                    const int bit = (x * channels + c) * depth;
                    if (depth == 16) {
                        row[static_cast<std::size_t>(bit / 8)] = static_cast<png_byte>(level >> 8);
                        row[static_cast<std::size_t>(bit / 8 + 1)] =
                            static_cast<png_byte>(level & 0xFF);
                    } else {
                        row[static_cast<std::size_t>(bit / 8)] |=
                            static_cast<png_byte>(level << (8 - depth - bit % 8));
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

} // namespace glimmora::testing
