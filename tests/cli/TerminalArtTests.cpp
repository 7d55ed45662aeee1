#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <thread>

#include "tests/cli/RunConvert.h"
#include "tests/support/TestPictures.h"

using glimmora::testing::Run;
using glimmora::testing::RunConvert;
using glimmora::testing::RunSetup;
using glimmora::testing::SavePng;

namespace {

// The variables that decide the terminal's colours and background, set as
// "NAME=VALUE" in the child, every other one of them unset.
RunSetup WithEnvironment(const QStringList& variables) {
    RunSetup setup;
    setup.beforeStart = [variables] {
        for (const char* name : {"NO_COLOR", "TERM", "COLORTERM", "COLORFGBG"}) {
            ::unsetenv(name);
        }
        for (const QString& variable : variables) {
            const QByteArray bytes = variable.toUtf8();
            const qsizetype equals = bytes.indexOf('=');
            ::setenv(bytes.left(equals).constData(), bytes.mid(equals + 1).constData(), 1);
        }
    };
    return setup;
}

} // namespace

class TerminalArtTests : public QObject {
    Q_OBJECT
private slots:
    void oneCell_data();
    void oneCell();
    void refused_data();
    void refused();
    void askedBackground_data();
    void askedBackground();

private:
    QTemporaryDir folder_;
};

void TerminalArtTests::oneCell_data() {
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QRgb>("colour"); // of the whole 4 x 8 picture: one cell
    QTest::addColumn<QByteArray>("expected");
    const QRgb red = qRgb(255, 0, 0);
    const QRgb white = qRgb(255, 255, 255);
    // Red is grey 84: band 4, the middle sign from either end.
    QTest::addRow("noColor") << QStringList{"NO_COLOR=1", "COLORTERM=truecolor"} << QStringList{}
                             << red << QByteArray(";\n");
    QTest::addRow("dumb") << QStringList{"TERM=dumb"} << QStringList{} << red << QByteArray(";\n");
    QTest::addRow("noColorEmpty_16") << QStringList{"NO_COLOR=", "TERM=linux"} << QStringList{}
                                     << red << QByteArray("\x1b[91m;\x1b[0m\n");
    QTest::addRow("256color") << QStringList{"TERM=xterm-256color"} << QStringList{} << red
                              << QByteArray("\x1b[38;5;196m;\x1b[0m\n");
    QTest::addRow("truecolor") << QStringList{"TERM=xterm-256color", "COLORTERM=24bit"}
                               << QStringList{} << red
                               << QByteArray("\x1b[38;2;255;0;0m;\x1b[0m\n");
    QTest::addRow("colorsGiven_winOverNoColor")
        << QStringList{"NO_COLOR=1"} << QStringList{"--colors", "256"} << red
        << QByteArray("\x1b[38;5;196m;\x1b[0m\n");
    QTest::addRow("colorGiven_full") << QStringList{} << QStringList{"--color"} << red
                                     << QByteArray("\x1b[38;2;255;0;0m;\x1b[0m\n");
    // White: the densest sign on a dark terminal, a blank on a light one.
    QTest::addRow("dark_byDefault")
        << QStringList{"NO_COLOR=1"} << QStringList{} << white << QByteArray("9\n");
    QTest::addRow("colorFgBg_light") << QStringList{"NO_COLOR=1", "COLORFGBG=0;15"} << QStringList{}
                                     << white << QByteArray(" \n");
    QTest::addRow("colorFgBg_threeParts_dark")
        << QStringList{"NO_COLOR=1", "COLORFGBG=15;default;0"} << QStringList{} << white
        << QByteArray("9\n");
    QTest::addRow("backgroundGiven_winsOverColorFgBg")
        << QStringList{"NO_COLOR=1", "COLORFGBG=0;15"} << QStringList{"--background", "dark"}
        << white << QByteArray("9\n");
    QTest::addRow("backgroundLightHex")
        << QStringList{"NO_COLOR=1"} << QStringList{"--background", "f0f0e0"} << white
        << QByteArray(" \n");
    QTest::addRow("invert_afterTheBackground")
        << QStringList{"NO_COLOR=1"} << QStringList{"--invert"} << white << QByteArray(" \n");
    QTest::addRow("fill_16_plainCell") << QStringList{"TERM=xterm"} << QStringList{"--fill"} << red
                                       << QByteArray("\x1b[101m \x1b[0m\n");
    QTest::addRow("blocks_fullBlock")
        << QStringList{"COLORTERM=truecolor"} << QStringList{"--symbols", "blocks"} << white
        << QByteArray("\x1b[38;2;255;255;255m\xe2\x96\x88\x1b[0m\n");
}

void TerminalArtTests::oneCell() {
    QFETCH(QStringList, environment);
    QFETCH(QStringList, args);
    QFETCH(QRgb, colour);
    QFETCH(QByteArray, expected);
    QImage image(4, 8, QImage::Format_RGB32);
    image.fill(colour);
    const QString picture = SavePng(folder_, "cell.png", image);
    const Run run = RunConvert(QStringList{picture, "-f", "text", "--rows", "1"} + args,
                               WithEnvironment(environment));
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, expected);
}

void TerminalArtTests::refused_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("errorPart");
    QTest::addRow("colors8") << QStringList{"--colors", "8"} << "use none, 16, 256 or full";
    QTest::addRow("symbolsUnknown") << QStringList{"--symbols", "sextants"} << "use ascii";
    QTest::addRow("rowsZero") << QStringList{"--rows", "0"} << "rows \"0\"";
    QTest::addRow("backgroundWord") << QStringList{"--background", "grey"} << "dark, light";
}

void TerminalArtTests::refused() {
    QFETCH(QStringList, args);
    QFETCH(QString, errorPart);
    const Run run = RunConvert(QStringList{"any.png"} + args);
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(errorPart.toUtf8()), run.err.constData());
    QCOMPARE(run.out, QByteArray());
}

void TerminalArtTests::askedBackground_data() {
    QTest::addColumn<QByteArray>("answer");   // empty: the terminal never answers
    QTest::addColumn<QByteArray>("expected"); // empty: Ctrl-C instead of an answer
    const QByteArray attributes = "\x1b[?62;22c";
    // A white picture: the densest sign on a dark terminal, a blank on a
    // light one.
    QTest::addRow("light_endedBySt")
        << QByteArray("\x1b]11;rgb:ffff/ffff/ffff\x1b\\") + attributes << QByteArray(" \n");
    QTest::addRow("dark_endedByBel")
        << QByteArray("\x1b]11;rgb:0000/0000/0000\x07") + attributes << QByteArray("9\n");
    QTest::addRow("twoDigitParts_light")
        << QByteArray("\x1b]11;rgb:f0/f0/e0\x1b\\") + attributes << QByteArray(" \n");
    QTest::addRow("noColourAnswer_colorFgBgDecides") << attributes << QByteArray(" \n");
    QTest::addRow("noAnswerAtAll_colorFgBgDecides") << QByteArray() << QByteArray(" \n");
    QTest::addRow("interruptedWhileWaiting") << QByteArray() << QByteArray();
}

void TerminalArtTests::askedBackground() {
    QFETCH(QByteArray, answer);
    QFETCH(QByteArray, expected);
    QImage image(4, 8, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QString picture = SavePng(folder_, "white.png", image);
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) {
        QSKIP("This system gives no pseudo-terminal.");
    }
    QVERIFY(::grantpt(master) == 0 && ::unlockpt(master) == 0);
    const int terminal = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    QVERIFY(terminal >= 0);
    termios before{};
    QVERIFY(::tcgetattr(terminal, &before) == 0);

    // The terminal: answers the query once it has seen it, and keeps what
    // is shown.
    std::atomic<bool> done = false;
    QByteArray shown;
    std::thread screen([&] {
        bool answered = false;
        while (true) {
            pollfd ready{master, POLLIN, 0};
            if (::poll(&ready, 1, 20) <= 0) {
                if (done) {
                    return;
                }
                continue;
            }
            char buffer[4096];
            const ssize_t got = ::read(master, buffer, sizeof buffer);
            if (got <= 0) {
                return;
            }
            shown.append(buffer, got);
            if (!answered && shown.contains("\x1b]11;?\x1b\\\x1b[c")) {
                answered = true;
                pid_t foreground = 0;
                if (expected.isEmpty() && ::ioctl(master, TIOCGPGRP, &foreground) == 0) {
                    ::kill(-foreground, SIGINT);
                } else if (::write(master, answer.constData(), size_t(answer.size())) < 0) {
                    return;
                }
            }
        }
    });
    RunSetup setup = WithEnvironment({"NO_COLOR=1", "COLORFGBG=0;15"});
    setup.outFd = terminal;
    const auto environment = setup.beforeStart;
    setup.beforeStart = [&] {
        environment();
        // The terminal is the child's own, standard input and output both.
        ::setsid();
        ::ioctl(terminal, TIOCSCTTY, 0);
        ::dup2(terminal, STDIN_FILENO);
    };
    const Run run = RunConvert(QStringList{picture, "--rows", "1"}, setup);
    done = true;
    screen.join();
    termios after{};
    QVERIFY(::tcgetattr(terminal, &after) == 0);
    ::close(terminal);
    ::close(master);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, expected.isEmpty() ? -1 : 0);
    // Asked, then the art alone: no answer shows, and the settings are back.
    QCOMPARE(shown.replace("\r\n", "\n"), QByteArray("\x1b]11;?\x1b\\\x1b[c") + expected);
    QCOMPARE(after.c_lflag, before.c_lflag);
    QCOMPARE(after.c_cc[VMIN], before.c_cc[VMIN]);
}

QTEST_GUILESS_MAIN(TerminalArtTests)
#include "TerminalArtTests.moc"
