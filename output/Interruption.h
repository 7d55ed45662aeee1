#pragma once

namespace glimmora {

// While a file is being written, the signals that usually end the program
// at once (SIGINT, SIGTERM, SIGHUP, SIGPIPE) are only noted; the writer,
// which looks between pieces, puts the file back as it was (removes the
// file it made, or puts the old bytes back) and then ends the program by
// the same signal, so the status is the one the signal usually gives.
//
// The handler only stores the signal's number, which keeps it safe to run
// at any moment. Guards nest; the outermost one puts the program's own
// handling back, and a signal noted by then ends the program once the file
// is complete.
class InterruptionGuard {
public:
    InterruptionGuard();
    ~InterruptionGuard();
    InterruptionGuard(const InterruptionGuard&) = delete;
    InterruptionGuard& operator=(const InterruptionGuard&) = delete;

    // The signal noted since the guard began, or 0.
    static int Caught();
    // Ends the program by the noted signal, the program's own handling of
    // it restored (usually its default action). Returns when no signal was
    // noted, or when the program had a handler of its own that returned.
    static void EndIfCaught();
};

} // namespace glimmora
