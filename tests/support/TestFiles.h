#pragma once

// Files and bytes as the suites compare them: documents read back whole,
// files written byte for byte.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <string>

namespace glimmora::testing {

// The bytes of a std::string, to compare with what was written to a file.
inline QByteArray Bytes(const std::string& text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// The whole file, or nothing when it cannot be read.
inline QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

// Writes exactly `bytes` to `path`, replacing what was there.
inline bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace glimmora::testing
