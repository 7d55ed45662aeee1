#include "AnimationBench.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "output/GifWriter.h"

namespace glimmora {

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kFrames = 200;
constexpr int kDelayCentiseconds = 4; // 25 frames a second

struct Run {
    bool ran = false;
    double seconds = 0;
    double peakMiB = 0;
    double cpuSeconds = 0; // user and system
    int drawn = 0;         // frames drawn on the terminal
    double firstDrawn = 0; // seconds from the start to the first frame drawn
    double lastDrawn = 0;  // and to the last
};

// A 1080p animation: rings that move and change colour, 256 colours a
// frame, each frame whole.
bool WriteAnimation(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    GifWriter writer(kWidth, kHeight, 0, [&file](std::string_view piece) {
        file.write(piece.data(), static_cast<qint64>(piece.size()));
    });
    GifFrame frame;
    frame.width = kWidth;
    frame.height = kHeight;
    frame.indices.resize(static_cast<std::size_t>(kWidth) * kHeight);
    frame.disposal = GifDisposal::Keep;
    frame.delayCentiseconds = kDelayCentiseconds;
    for (int n = 0; n < kFrames; ++n) {
        frame.palette.clear();
        for (int i = 0; i < 256; ++i) {
            frame.palette.push_back(static_cast<std::uint32_t>(((i + n) % 256) << 16 |
                                                               (255 - i) << 8 | (i * 3 + n) % 256));
        }
        const int cx = kWidth / 2 + (n * 7) % 400 - 200;
        const int cy = kHeight / 2;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const int dx = (x - cx) / 8;
                const int dy = (y - cy) / 8;
                frame.indices[static_cast<std::size_t>(y) * kWidth + x] =
                    static_cast<std::uint8_t>((dx * dx + dy * dy + n * 4) / 16);
            }
        }
        writer.Add(frame);
    }
    writer.Finish();
    return file.flush();
}

// Runs the converter alone, on a pseudo-terminal of columns x rows when
// rows > 0, else with standard output thrown away.
Run Measure(const std::vector<std::string>& args, int columns = 0, int rows = 0) {
    std::vector<char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    Run run;
    const auto start = std::chrono::steady_clock::now();
    int master = -1;
    pid_t child = -1;
    if (rows > 0) {
        winsize size{};
        size.ws_col = static_cast<unsigned short>(columns);
        size.ws_row = static_cast<unsigned short>(rows);
        child = ::forkpty(&master, nullptr, nullptr, &size);
    } else {
        child = ::fork();
    }
    if (child < 0) {
        return run;
    }
    if (child == 0) {
        if (rows == 0) {
            std::freopen("/dev/null", "w", stdout);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (master >= 0) {
        // The terminal's side: count the frames as they are drawn.
        std::string tail;
        char buffer[65536];
        for (;;) {
            const ssize_t got = ::read(master, buffer, sizeof buffer);
            if (got <= 0) {
                break;
            }
            tail.append(buffer, static_cast<std::size_t>(got));
            const double now =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            for (std::size_t at = 0; (at = tail.find("\x1b[?2026h", at)) != std::string::npos;
                 at += 8) {
                run.firstDrawn = run.drawn == 0 ? now : run.firstDrawn;
                run.lastDrawn = now;
                ++run.drawn;
            }
            tail.erase(0, tail.size() > 8 ? tail.size() - 8 : 0);
        }
        ::close(master);
    }
    int status = 0;
    rusage usage{};
    if (::wait4(child, &status, 0, &usage) != child) {
        return run;
    }
    run.ran = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    const auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
    };
    run.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    return run;
}

void Row(const char* measure, const QString& figure, const char* goal, bool met) {
    std::printf("| %-58s | %-44s | %-14s | %s\n", measure, qPrintable(figure), goal,
                met ? "met" : "MISSED");
    std::fflush(stdout);
}

} // namespace

void RunAnimationBenchmark() {
    const QTemporaryDir dir;
    const QString gif = dir.filePath("moving.gif");
    std::printf("animation: writing a %d x %d GIF of %d frames at 25 fps...\n", kWidth, kHeight,
                kFrames);
    std::fflush(stdout);
    if (!dir.isValid() || !WriteAnimation(gif)) {
        std::printf("animation: the GIF could not be written\n");
        return;
    }
    const std::string convert =
        (QCoreApplication::applicationDirPath() + "/glimmora-convert").toStdString();
    const std::string picture = gif.toStdString();

    const Run floor = Measure({convert, "--version"});
    std::printf("| %-58s | %-44s | %-14s |\n", "(floor: glimmora-convert --version, peak RSS)",
                qPrintable(QStringLiteral("%1 MiB").arg(floor.peakMiB, 0, 'f', 1)), "");
    const auto overFloor = [&floor](const Run& run) { return run.peakMiB - floor.peakMiB; };

    // One core kept busy meanwhile, as by another program.
    std::atomic<bool> busy = true;
    std::thread spinner([&busy] {
        volatile std::uint64_t spin = 0;
        while (busy.load(std::memory_order_relaxed)) {
            spin = spin + 1;
        }
    });
    // 200 columns, 60 lines of art and one for the prompt.
    const Run played = Measure({convert, picture, "--loop", "1"}, 200, 61);
    busy = false;
    spinner.join();
    // Frames a second while playing, from the first frame drawn to the
    // last: the start of the program (reading the file, asking the
    // terminal its colours) is no part of it. A player that shows every
    // frame at its time shows 25 to within the clock's jitter, so the
    // figure is judged as it is shown, to a tenth.
    const double playing = played.lastDrawn - played.firstDrawn;
    const double shown = playing > 0 ? (played.drawn - 1) / playing : 0;
    Row("1080p 25-fps 200-frame GIF played at 200 x 60, a core busy",
        QStringLiteral("%1 frames/s (%2 of %3 drawn in %4 s)")
            .arg(shown, 0, 'f', 1)
            .arg(played.drawn)
            .arg(kFrames)
            .arg(playing, 0, 'f', 2),
        ">= 25 frames/s", played.ran && std::round(shown * 10) >= 250);
    // What the machine's load does not change: the player's own time.
    const double cpuPerFrame = played.cpuSeconds / kFrames * 1e3;
    Row("same, CPU time a frame (decode, cells, drawing)",
        QStringLiteral("%1 ms").arg(cpuPerFrame, 0, 'f', 1), "<= 25 ms",
        played.ran && cpuPerFrame <= 25.0);
    Row("same, peak RSS over the floor", QStringLiteral("%1 MiB").arg(overFloor(played), 0, 'f', 1),
        "<= 64 MiB", played.ran && overFloor(played) <= 64.0);

    const std::string html = dir.filePath("moving.html").toStdString();
    const Run toHtml = Measure({convert, picture, "--animate", "-f", "html-color", "--word",
                                "GLIMMORA", "--columns", "200", "-o", html});
    Row("same GIF -> animated coloured HTML at 200 columns",
        QStringLiteral("%1 s, %2 MiB over the floor")
            .arg(toHtml.seconds, 0, 'f', 2)
            .arg(overFloor(toHtml), 0, 'f', 1),
        "<= 64 MiB", toHtml.ran && overFloor(toHtml) <= 64.0);

    const std::string art = dir.filePath("art.gif").toStdString();
    const Run toGif = Measure({convert, picture, "--columns", "200", "-o", art});
    Row("same GIF -> animated GIF of the art at 200 columns",
        QStringLiteral("%1 s, %2 MiB over the floor")
            .arg(toGif.seconds, 0, 'f', 2)
            .arg(overFloor(toGif), 0, 'f', 1),
        "<= 64 MiB", toGif.ran && overFloor(toGif) <= 64.0);
}

} // namespace glimmora
