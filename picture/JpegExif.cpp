#include "JpegExif.h"

namespace glimmora {

// The orientation in an EXIF block, read as Qt's JPEG reader reads it: the
// APP1 markers' data one after the other, an "Exif" header, the TIFF byte
// order, then the first Orientation entry (a single SHORT of 1 to 8) in the
// chain of IFDs. 0 when there is none, -1 when the block is damaged.
int ExifOrientation(const QByteArray& exif) {
    if (!exif.startsWith(QByteArray("Exif\0\0", 6))) {
        return -1;
    }
    const qsizetype header = 6;
    bool little = false;
    if (exif.mid(header, 2) == "II") {
        little = true;
    } else if (exif.mid(header, 2) != "MM") {
        return -1;
    }
    qsizetype at = header + 2;
    const auto read = [&](int size, quint32* value) {
        if (at + size > exif.size()) {
            return false;
        }
        quint32 v = 0;
        for (int i = 0; i < size; ++i) {
            const auto byte = static_cast<quint8>(exif[at + (little ? size - 1 - i : i)]);
            v = (v << 8) | byte;
        }
        at += size;
        *value = v;
        return true;
    };
    quint32 value = 0;
    if (!read(2, &value) || value != 0x2a) {
        return -1;
    }
    quint32 offset = 0;
    if (!read(4, &offset)) {
        return -1;
    }
    while (at < exif.size()) {
        // The next IFD lies offset bytes after the byte order mark.
        const qint64 skip = static_cast<qint64>(offset) - (at - header);
        if (skip < 0 || at + skip > exif.size()) {
            return -1;
        }
        at += skip;
        quint32 entries = 0;
        if (!read(2, &entries)) {
            return -1;
        }
        for (; entries > 0; --entries) {
            quint32 tag = 0;
            quint32 type = 0;
            quint32 count = 0;
            quint32 entryValue = 0;
            quint32 padding = 0;
            if (!read(2, &tag) || !read(2, &type) || !read(4, &count) || !read(2, &entryValue) ||
                !read(2, &padding)) {
                return -1;
            }
            if (tag == 0x0112) {
                if (count != 1 || type != 3 || entryValue < 1 || entryValue > 8) {
                    return -1;
                }
                return static_cast<int>(entryValue);
            }
        }
        if (!read(4, &offset)) {
            return -1;
        }
        if (offset == 0) {
            break;
        }
    }
    return 0;
}

QImageIOHandler::Transformations TransformationOf(int orientation) {
    switch (orientation) {
    case 2:
        return QImageIOHandler::TransformationMirror;
    case 3:
        return QImageIOHandler::TransformationRotate180;
    case 4:
        return QImageIOHandler::TransformationFlip;
    case 5:
        return QImageIOHandler::TransformationFlipAndRotate90;
    case 6:
        return QImageIOHandler::TransformationRotate90;
    case 7:
        return QImageIOHandler::TransformationMirrorAndRotate90;
    case 8:
        return QImageIOHandler::TransformationRotate270;
    default:
        return QImageIOHandler::TransformationNone;
    }
}

} // namespace glimmora
