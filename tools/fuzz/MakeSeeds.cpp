// Writes one small picture in every format Qt's image writers take into the
// folder given, for the fuzzer to start from: a gradient with a transparent
// corner, so that decoders meet colour, alpha and more than one row. Each
// comes after the fuzzer's choices (see PictureFuzzer.cpp): a format, steps,
// a cut, and a text with markup characters and one beyond Windows-1252.

#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2 || !QDir().mkpath(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "usage: glimmora-fuzz-seeds FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QImage image(13, 7, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixelColor(x, y, QColor(x * 19, y * 36, (x + y) * 12, x + y < 3 ? 0 : 255));
        }
    }
    const QByteArray text = QByteArrayLiteral("\\{}<&;\"\xE2\x82\xAC\xF0\x9F\x98\x80");
    int written = 0;
    for (const QByteArray& format : QImageWriter::supportedImageFormats()) {
        QBuffer picture;
        picture.open(QIODevice::WriteOnly);
        if (!QImageWriter(&picture, format).write(image)) {
            continue;
        }
        QByteArray seed;
        seed.append(static_cast<char>(written & 3)); // the format
        seed.append(static_cast<char>(written % 3)); // the steps
        seed.append(static_cast<char>(written / 3 % 3));
        seed.append(static_cast<char>(5 + written)); // the cut
        seed.append(static_cast<char>(text.size()));
        seed.append(text).append(picture.data());
        QFile file(folder.filePath(QStringLiteral("seed-") + QString::fromLatin1(format)));
        if (file.open(QIODevice::WriteOnly) && file.write(seed) == seed.size()) {
            ++written;
        }
    }
    std::printf("%d seed pictures in %s\n", written, argv[1]);
    return written > 0 ? 0 : 1;
}
