#include "PictureMessages.h"

#include <cstring>

#include "PictureFile.h"

namespace glimmora {

namespace {

constexpr double kMiB = 1024.0 * 1024.0;

} // namespace

QString MiB(double bytes) {
    return QString::number(static_cast<qulonglong>(bytes / kMiB + 0.999));
}

QString TooLargeMessage(int width, int height) {
    return QStringLiteral("The picture is %1 x %2 pixels; Glimmora takes at most "
                          "32767 pixels a side.")
        .arg(width)
        .arg(height);
}

// The system's reason, as it reads after a colon.
QString SystemReason(int error) {
    QString reason = QString::fromLocal8Bit(std::strerror(error));
    if (!reason.isEmpty()) {
        reason[0] = reason[0].toLower();
    }
    return reason;
}

QString UnreadableMessage(const PictureFile& file, const QString& reason) {
    return QStringLiteral("%1 cannot be read as a picture: %2.").arg(file.ShownName(), reason);
}

QString OutOfMemoryMessage(const PictureFile& file) {
    return QStringLiteral("There is not enough memory to decode %1.").arg(file.ShownName());
}

QString WholeOverBudgetMessage(const PictureFile& file, std::uint64_t bytes, std::size_t budget) {
    return QStringLiteral("%1 is %2 x %3 pixels; decoding it whole would take %4 MiB, more "
                          "than the %5 MiB a picture may take.")
        .arg(file.ShownName())
        .arg(file.Width())
        .arg(file.Height())
        .arg(MiB(static_cast<double>(bytes)), MiB(static_cast<double>(budget)));
}

} // namespace glimmora
