#pragma once

// Pictures the suites build in memory and hand over as files.

#include <QImage>
#include <QString>
#include <QTemporaryDir>

namespace glimmora::testing {

// Saves `image` as the PNG file `name` in `folder`; its path, or an empty
// string when it could not be written.
inline QString SavePng(const QTemporaryDir& folder, const QString& name, const QImage& image) {
    const QString path = folder.filePath(name);
    if (!image.save(path, "PNG")) {
        return {};
    }
    return path;
}

} // namespace glimmora::testing
