#pragma once

#include <functional>

namespace glimmora {

// A repeating timer as the windows use it: an interval in milliseconds, an
// enable switch, and a handler run on the user-interface thread. Ticks never
// overlap.
class TickSource {
public:
    virtual ~TickSource() = default;
    virtual void SetHandler(std::function<void()> handler) = 0;
    virtual void SetInterval(int milliseconds) = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool IsEnabled() const = 0;
};

} // namespace glimmora
