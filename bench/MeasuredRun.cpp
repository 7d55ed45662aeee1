#include "MeasuredRun.h"

#include <QCoreApplication>
#include <QProcess>

#include <algorithm>

namespace glimmora {

QString Binary(const char* name) {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(name);
}

namespace {

// One run of a program through glimmora-measure, which starts it alone so
// that its peak memory is its own.
Measured MeasureOnce(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(Binary("glimmora-measure"), QStringList{program} + arguments);
    Measured measured;
    if (!process.waitForFinished(600000)) {
        return measured;
    }
    const QList<QByteArray> fields = process.readAllStandardOutput().trimmed().split(' ');
    if (fields.size() != 3) {
        return measured;
    }
    measured.ran = true;
    measured.seconds = fields[0].toDouble();
    measured.peakMiB = fields[1].toDouble() / 1024.0;
    measured.status = fields[2].toInt();
    return measured;
}

} // namespace

Measured Measure(const QString& program, const QStringList& arguments, int runs) {
    Measured best;
    for (int run = 0; run < runs; ++run) {
        const Measured once = MeasureOnce(program, arguments);
        if (!once.ran) {
            return once;
        }
        if (!best.ran || once.seconds < best.seconds) {
            const double peak = std::max(best.peakMiB, once.peakMiB);
            best = once;
            best.peakMiB = peak;
        } else {
            best.peakMiB = std::max(best.peakMiB, once.peakMiB);
        }
    }
    return best;
}

} // namespace glimmora
