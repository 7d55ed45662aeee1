#include "TerminalPlayer.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <memory>
#include <string_view>

#include "picture/PictureFrames.h"

namespace glimmora {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::array<int, 3> kStopSignals = {SIGINT, SIGTERM, SIGHUP};

// The signal that stopped the playing, and the pipe that wakes the wait.
volatile std::sig_atomic_t stopSignal = 0;
int wakeFd = -1;

void OnStopSignal(int signal) {
    stopSignal = signal;
    if (wakeFd >= 0) {
        const char byte = 0;
        [[maybe_unused]] const ssize_t written = ::write(wakeFd, &byte, 1);
    }
}

// All of text to fd; a terminal that has gone away is left alone.
void WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

// While it lives: the cursor hidden, keys read one by one without echo, the
// stop signals caught. Whatever it changed is put back when it goes, in
// the order it was changed.
class TerminalSession {
public:
    TerminalSession(int outFd, int keysFd) : outFd_(outFd) {
        stopSignal = 0;
        if (::pipe2(wakePipe_.data(), O_CLOEXEC | O_NONBLOCK) == 0) {
            wakeFd = wakePipe_[1];
        }
        struct sigaction action {};
        action.sa_handler = OnStopSignal;
        sigemptyset(&action.sa_mask);
        for (std::size_t i = 0; i < kStopSignals.size(); ++i) {
            ::sigaction(kStopSignals[i], &action, &savedActions_[i]);
        }
        // Only the terminal's foreground job may change its modes (a job in
        // the background would be stopped for trying) or read its keys.
        if (keysFd >= 0 && ::isatty(keysFd) == 1 && ::tcgetpgrp(keysFd) == ::getpgrp() &&
            ::tcgetattr(keysFd, &savedModes_) == 0) {
            termios modes = savedModes_;
            modes.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
            modes.c_cc[VMIN] = 1;
            modes.c_cc[VTIME] = 0;
            // Ctrl-Z would stop the player with the terminal still in these
            // modes; Ctrl-C (ISIG stays on) stops the playing instead.
            modes.c_cc[VSUSP] = _POSIX_VDISABLE;
            if (::tcsetattr(keysFd, TCSANOW, &modes) == 0) {
                keysFd_ = keysFd;
            }
        }
        WriteAll(outFd_, "\x1b[?25l");
    }

    ~TerminalSession() {
        WriteAll(outFd_, "\x1b[0m\x1b[?25h");
        if (keysFd_ >= 0) {
            ::tcsetattr(keysFd_, TCSANOW, &savedModes_);
        }
        for (std::size_t i = 0; i < kStopSignals.size(); ++i) {
            ::sigaction(kStopSignals[i], &savedActions_[i], nullptr);
        }
        wakeFd = -1;
        for (const int fd : wakePipe_) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    TerminalSession(const TerminalSession&) = delete;
    TerminalSession& operator=(const TerminalSession&) = delete;

    // Waits until the time comes; true when the playing is to stop (q, or
    // a stop signal) meanwhile.
    bool WaitUntil(Clock::time_point until) {
        for (;;) {
            if (stopSignal != 0) {
                return true;
            }
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now()).count();
            std::array<pollfd, 2> waits = {{{wakePipe_[0], POLLIN, 0}, {keysFd_, POLLIN, 0}}};
            const int ready = ::poll(waits.data(), keysFd_ >= 0 ? 2 : 1,
                                     static_cast<int>(std::max<long long>(0, left)));
            if (ready < 0 && errno != EINTR) {
                return false;
            }
            if (ready > 0 && (waits[1].revents & POLLIN) != 0) {
                char keys[64];
                const ssize_t got = ::read(keysFd_, keys, sizeof keys);
                if (std::string_view(keys, static_cast<std::size_t>(std::max<ssize_t>(got, 0)))
                        .find_first_of("qQ") != std::string_view::npos) {
                    return true;
                }
            }
            if (ready > 0 && (waits[1].revents & (POLLHUP | POLLERR)) != 0) {
                keysFd_ = -1; // no more keys to come
            }
            if (ready == 0 && left <= 0) {
                return stopSignal != 0;
            }
        }
    }

private:
    int outFd_;
    int keysFd_ = -1;
    std::array<int, 2> wakePipe_ = {-1, -1};
    termios savedModes_{};
    std::array<struct sigaction, kStopSignals.size()> savedActions_{};
};

} // namespace

bool PlayInTerminal(const Playback& playback, int outFd, int keysFd, std::string& error) {
    PictureFrames& frames = playback.frames;
    bool ok = true;
    {
        TerminalSession session(outFd, keysFd);
        std::size_t linesDrawn = 0;
        // Each frame over the last in one update: back to the first line of
        // the last frame, then the new one, line for line.
        const auto show = [&](const std::string& text) {
            std::string screen = "\x1b[?2026h";
            if (linesDrawn > 0) {
                screen += "\r\x1b[" + std::to_string(linesDrawn) + "A";
            }
            linesDrawn = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
            screen += text;
            screen += "\x1b[?2026l";
            WriteAll(outFd, screen);
        };

        // Known before the clock starts: the file's frames, when its reader
        // can count them.
        const int count = frames.Count();
        int played = 0;
        // When the time of the next frame comes.
        Clock::time_point due;
        bool passed = false;
        // The frame passed by last, when the frames cannot be counted: it
        // may be the last one of all. (Kept, it makes the reader copy the
        // next frame before composing it.)
        std::shared_ptr<const PictureSurface> notDrawn;
        bool stopped = false;
        while (!stopped) {
            const std::shared_ptr<const PictureSurface> frame = frames.Next();
            if (!frame) {
                if (!frames.Failed().isEmpty()) {
                    error = frames.Failed().toStdString();
                    ok = false;
                    break;
                }
                ++played;
                if ((playback.repeats >= 0 && played > playback.repeats) || frames.Read() == 0) {
                    break;
                }
                frames.Rewind();
                continue;
            }
            notDrawn.reset();
            if (played == 0 && frames.Read() == 1) {
                due = Clock::now(); // the clock starts with the first frame read
            }
            const auto delay =
                std::chrono::milliseconds(PictureFrames::PlayedDelay(frames.Delay()));
            // A frame is drawn while the one before it is shown, and shown
            // when its time comes. A frame whose time is already over is
            // passed by, so the clock never waits for the drawing; never the
            // last one of all, which stays on screen. Every frame must still
            // be decoded, though (each is drawn over the one before it):
            // when the decoding alone falls behind, passing frames by cannot
            // catch up, so after one passed by the next is shown at once and
            // the clock goes on from there.
            const bool last = count > 0 && frames.Read() == count && playback.repeats >= 0 &&
                              played == playback.repeats;
            if (Clock::now() >= due + delay && !passed && !last) {
                passed = true;
                if (count <= 0) {
                    notDrawn = frame;
                }
                due += delay;
                stopped = session.WaitUntil(due); // q or a signal meanwhile
                continue;
            }
            const std::string text = playback.drawFrame(*frame);
            stopped = session.WaitUntil(due);
            if (!stopped) {
                show(text);
                due = passed ? Clock::now() : due + delay;
                passed = false;
            }
        }
        if (ok && !stopped) {
            if (notDrawn) {
                show(playback.drawFrame(*notDrawn)); // the last frame stays on screen
            } else {
                session.WaitUntil(due); // the last frame's own time
            }
        }
    }
    if (stopSignal != 0) {
        // Stopped by a signal: end as that signal ends the process.
        const int signal = stopSignal;
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
    return ok;
}

} // namespace glimmora
