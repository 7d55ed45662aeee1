#include "TerminalArt.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "PictureInput.h"
#include "core/AreaSampler.h"
#include "picture/PictureFile.h"
#include "picture/WholeDecode.h"

namespace glimmora {

namespace {

constexpr int kDefaultRows = 24;

std::string_view Variable(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string_view() : std::string_view(value);
}

// The terminal's settings while it is asked, for a signal that ends the
// program meanwhile: it puts them back before the program ends.
constexpr std::array<int, 5> kEndingSignals = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP};
termios savedSettings{};
volatile std::sig_atomic_t askedFd = -1;
std::array<struct sigaction, kEndingSignals.size()> savedActions{};

void PutTerminalBack(int signal) {
    if (askedFd >= 0) {
        ::tcsetattr(askedFd, TCSAFLUSH, &savedSettings);
    }
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
        if (kEndingSignals[i] == signal) {
            ::sigaction(signal, &savedActions[i], nullptr);
        }
    }
    ::raise(signal);
}

// A colour part of an answer: one to four hex digits, scaled to 0..255.
std::optional<int> ColourPart(std::string_view digits) {
    if (digits.empty() || digits.size() > 4) {
        return std::nullopt;
    }
    unsigned value = 0;
    for (const char c : digits) {
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * 16 + static_cast<unsigned>(digit);
    }
    const unsigned largest = (1u << (4 * digits.size())) - 1;
    return static_cast<int>((value * 255 + largest / 2) / largest);
}

// The colour in an answer "ESC ] 11 ; rgb:RRRR/GGGG/BBBB" ended by BEL or
// ESC \.
std::optional<Colour> ColourOfAnswer(std::string_view answer) {
    constexpr std::string_view kStart = "\x1b]11;rgb:";
    const std::size_t start = answer.find(kStart);
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view rest = answer.substr(start + kStart.size());
    const std::size_t end = rest.find_first_of("\x07\x1b");
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view body = rest.substr(0, end);
    const std::size_t first = body.find('/');
    const std::size_t second = body.find('/', first + 1);
    if (first == std::string_view::npos || second == std::string_view::npos) {
        return std::nullopt;
    }
    const auto red = ColourPart(body.substr(0, first));
    const auto green = ColourPart(body.substr(first + 1, second - first - 1));
    const auto blue = ColourPart(body.substr(second + 1));
    if (!red || !green || !blue) {
        return std::nullopt;
    }
    return *red | (*green << 8) | (*blue << 16);
}

// Whether the answers are all in: the reply to the device attributes
// query (ESC [ ? ... c), asked after the colour, comes last.
bool AnswersEnded(std::string_view answers) {
    const std::size_t start = answers.find("\x1b[?");
    return start != std::string_view::npos && answers.find('c', start) != std::string_view::npos;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

std::optional<Colour> AskTerminalBackground(int inFd, int outFd, int wait) {
    struct stat in {};
    struct stat out {};
    if (::isatty(inFd) != 1 || ::isatty(outFd) != 1 || ::fstat(inFd, &in) != 0 ||
        ::fstat(outFd, &out) != 0 || in.st_rdev != out.st_rdev) {
        return std::nullopt;
    }
    // Only a process in the terminal's foreground may change its settings
    // and read from it.
    if (::tcgetpgrp(inFd) != ::getpgrp() || ::tcgetattr(inFd, &savedSettings) != 0) {
        return std::nullopt;
    }
    termios quiet = savedSettings;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    quiet.c_cc[VMIN] = 0;
    quiet.c_cc[VTIME] = 0;

    struct sigaction putBack {};
    putBack.sa_handler = PutTerminalBack;
    ::sigemptyset(&putBack.sa_mask);
    askedFd = inFd;
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
        ::sigaction(kEndingSignals[i], &putBack, &savedActions[i]);
    }
    std::string answers;
    bool ended = false;
    if (::tcsetattr(inFd, TCSANOW, &quiet) == 0 && WriteAll(outFd, "\x1b]11;?\x1b\\\x1b[c")) {
        using Clock = std::chrono::steady_clock;
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(wait);
        while (!ended) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) {
                break;
            }
            pollfd ready{inFd, POLLIN, 0};
            const int polled = ::poll(&ready, 1, static_cast<int>(left.count()));
            if (polled < 0 && errno == EINTR) {
                continue;
            }
            if (polled <= 0) {
                break;
            }
            std::array<char, 256> buffer{};
            const ssize_t got = ::read(inFd, buffer.data(), buffer.size());
            if (got <= 0) {
                break;
            }
            answers.append(buffer.data(), static_cast<std::size_t>(got));
            ended = AnswersEnded(answers);
        }
    }
    // An answer still on its way is thrown away rather than shown.
    ::tcsetattr(inFd, ended ? TCSANOW : TCSAFLUSH, &savedSettings);
    askedFd = -1;
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
        ::sigaction(kEndingSignals[i], &savedActions[i], nullptr);
    }
    return ColourOfAnswer(answers);
}

ColourDepth DepthFromEnvironment() {
    const std::string_view term = Variable("TERM");
    if (!Variable("NO_COLOR").empty() || term == "dumb") {
        return ColourDepth::None;
    }
    const std::string_view colorTerm = Variable("COLORTERM");
    if (colorTerm == "truecolor" || colorTerm == "24bit") {
        return ColourDepth::Full;
    }
    if (term.ends_with("256color")) {
        return ColourDepth::TwoFiftySix;
    }
    return ColourDepth::Sixteen;
}

std::optional<Colour> BackgroundFromColorFgBg(const char* value) {
    if (value == nullptr) {
        return std::nullopt;
    }
    const std::string_view text(value);
    const std::string_view last = text.substr(text.find_last_of(';') + 1);
    if (text.find(';') == std::string_view::npos || last.empty() || last.size() > 2 ||
        !std::all_of(last.begin(), last.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const int index = std::atoi(std::string(last).c_str());
    if (index > 15) {
        return std::nullopt;
    }
    return PaletteColour(index);
}

int TerminalRows(int fd) {
    winsize size{};
    if (::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_row > 0) {
        return size.ws_row;
    }
    const std::string lines(Variable("LINES"));
    char* end = nullptr;
    const long value = std::strtol(lines.c_str(), &end, 10);
    if (!lines.empty() && *end == '\0' && value > 0 && value <= 32767) {
        return static_cast<int>(value);
    }
    return kDefaultRows;
}

std::optional<PixelBuffer> CellSamples(const PictureFile& picture, CellArtSize size,
                                       std::string& error) {
    const std::shared_ptr<const PixelBuffer> samples = DecodeAreas(
        picture, size.columns * kCellSamplesAcross, size.rows * kCellSamplesDown, error);
    if (!samples) {
        return std::nullopt;
    }
    return *samples;
}

PixelBuffer CellSamplesOf(const PixelSource& picture, int width, int height, CellArtSize size) {
    const int samplesAcross = size.columns * kCellSamplesAcross;
    const int samplesDown = size.rows * kCellSamplesDown;
    // A frame held whole is read straight from its rows, as a player needs
    // every frame of a large animation read in time: the same samples.
    const auto* surface = dynamic_cast<const PictureSurface*>(&picture);
    if (surface != nullptr && surface->Width() == width && surface->Height() == height &&
        surface->Image().format() == QImage::Format_RGB32) {
        const QImage& image = surface->Image();
        const ArgbRows rows{[&image](int y) {
                                return reinterpret_cast<const std::uint32_t*>(
                                    image.constScanLine(y));
                            },
                            1};
        return AreaAverage(rows, width, height, samplesAcross, samplesDown);
    }
    return AreaAverage(picture, width, height, samplesAcross, samplesDown);
}

} // namespace glimmora
