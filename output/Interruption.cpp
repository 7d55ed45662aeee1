#include "Interruption.h"

#include <signal.h>

#include <array>
#include <csignal>

namespace glimmora {

namespace {

constexpr std::array<int, 4> kEndingSignals = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

volatile std::sig_atomic_t caught = 0;
int depth = 0;
std::array<struct sigaction, kEndingSignals.size()> saved{};

extern "C" void NoteSignal(int signal) {
    if (caught == 0) {
        caught = signal;
    }
}

} // namespace

InterruptionGuard::InterruptionGuard() {
    if (depth++ != 0) {
        return;
    }
    caught = 0;
    struct sigaction noting {};
    noting.sa_handler = NoteSignal;
    sigemptyset(&noting.sa_mask);
    // No SA_RESTART: a write that waits is cut short, so the writer looks.
    noting.sa_flags = 0;
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
        ::sigaction(kEndingSignals[i], nullptr, &saved[i]);
        // A signal the program ignores stays ignored.
        if (saved[i].sa_handler != SIG_IGN) {
            ::sigaction(kEndingSignals[i], &noting, nullptr);
        }
    }
}

InterruptionGuard::~InterruptionGuard() {
    if (--depth != 0) {
        return;
    }
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
        ::sigaction(kEndingSignals[i], &saved[i], nullptr);
    }
    EndIfCaught();
}

int InterruptionGuard::Caught() {
    return caught;
}

void InterruptionGuard::EndIfCaught() {
    const int signal = caught;
    if (signal == 0) {
        return;
    }
    // The program's own handling of the signal: its usual action, unless
    // the program set another before the guard began.
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
        if (kEndingSignals[i] == signal) {
            ::sigaction(signal, &saved[i], nullptr);
        }
    }
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(signal);
    // Still here: the program's own handler took it.
    caught = 0;
}

} // namespace glimmora
