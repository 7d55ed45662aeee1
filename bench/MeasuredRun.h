#pragma once

#include <QString>
#include <QStringList>

namespace glimmora {

// A program's run, alone in its process: its wall time, peak resident
// memory and exit status (or 128 + the signal that ended it).
struct Measured {
    bool ran = false;
    double seconds = 0;
    double peakMiB = 0;
    int status = -1;
};

// A program beside the benchmark's own, in its folder.
QString Binary(const char* name);

// The fastest of a few runs through glimmora-measure (the machine may be
// busy), with the largest peak; not ran when it could not be run.
Measured Measure(const QString& program, const QStringList& arguments, int runs = 3);

} // namespace glimmora
