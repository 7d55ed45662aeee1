#include "QtTickSource.h"

namespace glimmora {

QtTickSource::QtTickSource() {
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { OnTimeout(); });
}

void QtTickSource::SetHandler(std::function<void()> handler) {
    handler_ = std::move(handler);
}

void QtTickSource::SetInterval(int milliseconds) {
    interval_ = milliseconds;
    // A fast timer is served in slices from a zero timer; the event loop
    // still runs between two timeouts.
    timer_.setInterval(interval_ <= 1 ? 0 : interval_);
}

void QtTickSource::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (enabled_) {
        timer_.start();
    } else {
        timer_.stop();
    }
}

void QtTickSource::OnTimeout() {
    if (!enabled_ || !handler_) {
        return;
    }
    if (interval_ > 1) {
        handler_();
        return;
    }
    QElapsedTimer slice;
    slice.start();
    // Check the clock only every so many ticks: a tick is far cheaper than
    // reading the clock.
    constexpr int kTicksBetweenClockReads = 256;
    while (enabled_) {
        for (int i = 0; i < kTicksBetweenClockReads && enabled_; ++i) {
            handler_();
        }
        if (slice.nsecsElapsed() >= kSliceNanoseconds) {
            break;
        }
    }
    longestSlice_ = std::max(longestSlice_, slice.nsecsElapsed());
}

} // namespace glimmora
