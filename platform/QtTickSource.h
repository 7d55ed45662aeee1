#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include "TickSource.h"

namespace glimmora {

// A TickSource on a QTimer. With an interval of 1 ms or less the ticks come
// back to back in slices of about 10 ms, and the event loop runs between
// slices: the window repaints and takes clicks while a large picture
// converts, and disabling the source stops it before the next tick.
class QtTickSource final : public TickSource {
public:
    QtTickSource();
    void SetHandler(std::function<void()> handler) override;
    void SetInterval(int milliseconds) override;
    void SetEnabled(bool enabled) override;
    bool IsEnabled() const override { return enabled_; }

    // The longest slice run so far, in nanoseconds (for the benchmark).
    qint64 LongestSliceNanoseconds() const { return longestSlice_; }

    // How long one slice of back-to-back ticks may take.
    static constexpr qint64 kSliceNanoseconds = 10'000'000;

private:
    void OnTimeout();

    QTimer timer_;
    std::function<void()> handler_;
    int interval_ = 0;
    bool enabled_ = false;
    qint64 longestSlice_ = 0;
};

} // namespace glimmora
