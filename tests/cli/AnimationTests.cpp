#include <QBuffer>
#include <QImageReader>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "picture/PictureFrames.h"
#include "tests/cli/RunConvert.h"
#include "tests/support/TestAnimations.h"
#include "tests/support/TestFiles.h"

using namespace glimmora;
using namespace glimmora::testing;

namespace {

constexpr int kDisposalFrames = 4;

// Three frames of 2 x 1, red, green then blue, 300 ms each: long enough
// that none is passed by as late.
QByteArray ColourSteps() {
    return MakeGif(2, 1, 0,
                   {AnimationFrame(0, 0, 2, 1, {0, 0}, GifDisposal::Keep, 30),
                    AnimationFrame(0, 0, 2, 1, {1, 1}, GifDisposal::Keep, 30),
                    AnimationFrame(0, 0, 2, 1, {2, 2}, GifDisposal::Keep, 30)});
}

// A cell's colour, in front or behind.
const QByteArray kRedCell = "2;255;0;0m";
const QByteArray kGreenCell = "2;0;255;0m";
const QByteArray kBlueCell = "2;0;0;255m";

} // namespace

class AnimationTests : public QObject {
    Q_OBJECT

private slots:
    void init();
    void frame_sameBytesAsTheStillFrame_data();
    void frame_sameBytesAsTheStillFrame();
    void frame_largeFrameCellsAsTheStill_data();
    void frame_largeFrameCellsAsTheStill();
    void frame_pastTheLast_saysHowMany();
    void animatedHtml_everyFrameAtItsTime_data();
    void animatedHtml_everyFrameAtItsTime();
    void gif_framesDelaysAndLoopsOfTheFile();
    void usage_data();
    void usage();
    void player_drawsInOrderAndRestoresTheTerminal_data();
    void player_drawsInOrderAndRestoresTheTerminal();

private:
    QString Save(const QString& name, const QByteArray& bytes) {
        const QString path = dir_->filePath(name);
        return WriteFile(path, bytes) ? path : QString();
    }
    std::unique_ptr<QTemporaryDir> dir_;
};

void AnimationTests::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

void AnimationTests::frame_sameBytesAsTheStillFrame_data() {
    QTest::addColumn<QStringList>("format");
    QTest::addRow("rtf") << QStringList{"-f", "rtf"};
    QTest::addRow("html-color") << QStringList{"-f", "html-color"};
    QTest::addRow("colour text") << QStringList{"-f", "text", "--color"};
    QTest::addRow("cells") << QStringList{"-f",     "text",     "--symbols", "quadrants",
                                          "--fill", "--colors", "256"};
}

void AnimationTests::frame_sameBytesAsTheStillFrame() {
    QFETCH(QStringList, format);
    const QString gif = Save("anim.gif", DisposalAnimation());
    const auto file = PictureFile::FromBytes(ReadAll(gif), QStringLiteral("anim.gif")).file;
    QVERIFY(file);
    PictureFrames frames(*file);
    const QStringList scale{"-s", "1x1"};
    for (int number = 1; number <= kDisposalFrames; ++number) {
        const auto frame = frames.Next();
        QVERIFY(frame);
        const QString still = dir_->filePath(QStringLiteral("frame%1.png").arg(number));
        QVERIFY(frame->Image().save(still, "PNG"));
        const Run expected = RunConvert(QStringList{still} + format + scale);
        const Run got =
            RunConvert(QStringList{gif, "--frame", QString::number(number)} + format + scale);
        QCOMPARE(got.exitCode, 0);
        QCOMPARE(got.out, expected.out);
        if (number == 1) {
            QCOMPARE(RunConvert(QStringList{gif} + format + scale).out, expected.out);
        }
    }
}

void AnimationTests::frame_largeFrameCellsAsTheStill_data() {
    QTest::addColumn<QStringList>("look");
    QTest::addRow("ascii, 16 colours") << QStringList{"--colors", "16"};
    QTest::addRow("quadrants filled, every 4th pixel read")
        << QStringList{"--symbols", "quadrants", "--fill", "--colors", "full"};
    QTest::addRow("braille, 256 colours, inverted")
        << QStringList{"--symbols", "braille", "--colors", "256", "--invert"};
}

void AnimationTests::frame_largeFrameCellsAsTheStill() {
    // Noise of 256 colours, then a rectangle of it with holes over the
    // first: the cells read a frame's rows in memory, a still's pixels
    // decoded one by one; both must give the same cells.
    QFETCH(QStringList, look);
    constexpr int kWidth = 643;
    constexpr int kHeight = 401;
    std::uint32_t seed = 1;
    const auto noise = [&seed](int x, int y, int w, int h, int transparentIndex) {
        const auto next = [&seed] { return seed = seed * 1103515245 + 12345; };
        std::vector<std::uint8_t> indices(static_cast<std::size_t>(w) * h);
        for (std::uint8_t& index : indices) {
            index = static_cast<std::uint8_t>(next() >> 16);
        }
        GifFrame frame =
            AnimationFrame(x, y, w, h, std::move(indices), GifDisposal::Keep, 4, transparentIndex);
        frame.palette.clear();
        for (int i = 0; i < 256; ++i) {
            frame.palette.push_back(next() >> 8 & 0xFFFFFF);
        }
        return frame;
    };
    const std::vector<GifFrame> frames{noise(0, 0, kWidth, kHeight, -1),
                                       noise(101, 57, 300, 200, 7)};
    const QString gif = Save("noise.gif", MakeGif(kWidth, kHeight, 0, frames));
    const auto file = PictureFile::FromBytes(ReadAll(gif), QStringLiteral("noise.gif")).file;
    QVERIFY(file);
    PictureFrames read(*file);
    QVERIFY(read.Next());
    const auto second = read.Next();
    QVERIFY(second);
    const QString still = dir_->filePath("second.png");
    QVERIFY(second->Image().save(still, "PNG"));
    const QStringList cells = QStringList{"-f", "text", "--columns", "20"} + look;
    const Run expected = RunConvert(QStringList{still} + cells);
    const Run got = RunConvert(QStringList{gif, "--frame", "2"} + cells);
    QCOMPARE(got.exitCode, 0);
    QVERIFY(expected.out.count('\n') == 6);
    QCOMPARE(got.out, expected.out);
}

void AnimationTests::frame_pastTheLast_saysHowMany() {
    const QString gif = Save("anim.gif", DisposalAnimation());
    const Run run = RunConvert({gif, "--frame", "5", "-f", "clean"});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QByteArray());
    QVERIFY2(run.err.contains("anim.gif has 4 frames; there is no frame 5."), run.err);
}

void AnimationTests::animatedHtml_everyFrameAtItsTime_data() {
    QTest::addColumn<QStringList>("loop");
    QTest::addColumn<std::optional<int>>("fileRepeats");
    QTest::addColumn<QByteArray>("iterations");
    QTest::addRow("the file's: for ever")
        << QStringList{} << std::optional<int>(0) << QByteArray("infinite");
    QTest::addRow("the file's: once") << QStringList{} << std::optional<int>() << QByteArray("1");
    QTest::addRow("--loop 3") << QStringList{"--loop", "3"} << std::optional<int>(0)
                              << QByteArray("3");
    QTest::addRow("--loop 0") << QStringList{"--loop", "0"} << std::optional<int>()
                              << QByteArray("infinite");
}

void AnimationTests::animatedHtml_everyFrameAtItsTime() {
    QFETCH(QStringList, loop);
    QFETCH(std::optional<int>, fileRepeats);
    QFETCH(QByteArray, iterations);
    const QString gif = Save("anim.gif", DisposalAnimation(fileRepeats));
    const QStringList args{"-f", "html-color", "-s", "1x1"};
    const Run run = RunConvert(QStringList{gif, "--animate"} + args + loop);
    QCOMPARE(run.exitCode, 0);
    const QByteArray& html = run.out;

    // Each frame's art as the still document of that frame holds it.
    const QByteArray head = RunConvert(QStringList{gif} + args).out;
    for (int number = 1; number <= kDisposalFrames; ++number) {
        const QByteArray still =
            RunConvert(QStringList{gif, "--frame", QString::number(number)} + args).out;
        const qsizetype artStart = still.indexOf("\">\r\n", still.indexOf("<font face=")) + 4;
        const QByteArray art = still.mid(artStart, still.indexOf("\r\n</font>") - artStart);
        const QByteArray tag =
            "<div style=\"animation-name:frame" + QByteArray::number(number) + "\">";
        QVERIFY2(html.contains(tag + art + "</div>"), qPrintable(QString::number(number)));
    }
    const qsizetype headEnd = head.indexOf("\">\r\n", head.indexOf("<font face=")) + 4;
    QVERIFY(html.startsWith(head.left(headEnd) + "<div class=\"frames\">"));
    QVERIFY(html.endsWith("</STYLE>\r\n</font></pre>\r\n</BODY>\r\n</HTML>\r\n"));
    QVERIFY(!html.contains("animation-name:frame5"));
    QVERIFY(!html.contains("<script"));

    // 50, 100 (the unset delay), 120 and 300 ms: 570 ms in all.
    QVERIFY(html.contains("animation-duration:570ms;"));
    QVERIFY(html.contains("animation-iteration-count:" + iterations + ";"));
    QVERIFY(html.contains(".frames > div + div {visibility:hidden}"));
    const QList<QByteArray> keyframes = {
        "@keyframes frame1 {0% {visibility:visible} 8.772% {visibility:hidden} "
        "100% {visibility:hidden}}",
        "@keyframes frame2 {0% {visibility:hidden} 8.772% {visibility:visible} "
        "26.316% {visibility:hidden} 100% {visibility:hidden}}",
        "@keyframes frame3 {0% {visibility:hidden} 26.316% {visibility:visible} "
        "47.368% {visibility:hidden} 100% {visibility:hidden}}",
        "@keyframes frame4 {0% {visibility:hidden} 47.368% {visibility:visible} "
        "100% {visibility:visible}}"};
    for (const QByteArray& rule : keyframes) {
        QVERIFY2(html.contains(rule), rule);
    }
}

void AnimationTests::gif_framesDelaysAndLoopsOfTheFile() {
    const QString gif = Save("anim.gif", DisposalAnimation(2));
    const QString art = dir_->filePath("art.gif");
    const Run run = RunConvert({gif, "-s", "1x1", "-o", art});
    QVERIFY2(run.exitCode == 0, run.err);
    QImageReader reader(art);
    QCOMPARE(reader.format(), QByteArray("gif"));
    QCOMPARE(reader.imageCount(), kDisposalFrames);
    QCOMPARE(reader.loopCount(), 2);
    QList<int> delays;
    QImage first;
    for (QImage frame; reader.read(&frame);) {
        delays.append(reader.nextImageDelay());
        if (first.isNull()) {
            first = frame;
        }
    }
    QCOMPARE(delays, (QList<int>{50, 100, 120, 300}));
    // Two signs a line, two lines: red cells' ink is red on black.
    QVERIFY(first.width() > 0 && first.width() % 2 == 0 && first.height() % 2 == 0);
    bool redInk = false;
    for (int y = 0; y < first.height(); ++y) {
        for (int x = 0; x < first.width(); ++x) {
            // A thin sign may have no pixel wholly covered: its ink is pure
            // red at whatever strength the glyph's coverage gives.
            const QRgb pixel = first.pixel(x, y);
            redInk = redInk || (qRed(pixel) >= 128 && qGreen(pixel) == 0 && qBlue(pixel) == 0);
        }
    }
    QVERIFY(redInk);

    // A still gives one frame, played once.
    QImage still(4, 4, QImage::Format_RGB32);
    still.fill(Qt::gray);
    const QString png = dir_->filePath("still.png");
    QVERIFY(still.save(png));
    QCOMPARE(RunConvert({png, "-f", "gif", "-o", art}).exitCode, 0);
    QImageReader one(art);
    QCOMPARE(one.imageCount(), 1);
    QCOMPARE(one.loopCount(), 0);
}

void AnimationTests::usage_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("errorPart");
    QTest::addRow("animate for rtf") << QStringList{"--animate", "-f", "rtf"} << "--animate is for";
    QTest::addRow("animate with frame")
        << QStringList{"--animate", "-f", "html", "--frame", "2"} << "cannot go with --frame";
    QTest::addRow("frame zero") << QStringList{"--frame", "0"} << "\"0\"";
    QTest::addRow("loop negative") << QStringList{"--loop", "-1"} << "\"-1\"";
    QTest::addRow("loop word") << QStringList{"--loop", "always"} << "always";
}

void AnimationTests::usage() {
    QFETCH(QStringList, args);
    QFETCH(QString, errorPart);
    const Run run = RunConvert(QStringList{Save("anim.gif", DisposalAnimation())} + args);
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(QString::fromUtf8(run.err).contains(errorPart), run.err);
}

void AnimationTests::player_drawsInOrderAndRestoresTheTerminal_data() {
    QTest::addColumn<QStringList>("loop");
    QTest::addColumn<QByteArray>("keys"); // typed once the first frame is shown
    QTest::addColumn<int>("signal");      // sent then instead
    QTest::addColumn<int>("endedBy");     // the signal that ends it, 0 for an exit
    QTest::addRow("the end") << QStringList{"--loop", "1"} << QByteArray() << 0 << 0;
    QTest::addRow("q") << QStringList{"--loop", "0"} << QByteArray("q") << 0 << 0;
    QTest::addRow("Ctrl-C") << QStringList{"--loop", "0"} << QByteArray("\x03") << 0 << SIGINT;
    QTest::addRow("SIGTERM") << QStringList{"--loop", "0"} << QByteArray() << SIGTERM << SIGTERM;
    QTest::addRow("SIGHUP") << QStringList{"--loop", "0"} << QByteArray() << SIGHUP << SIGHUP;
}

void AnimationTests::player_drawsInOrderAndRestoresTheTerminal() {
    QFETCH(QStringList, loop);
    QFETCH(QByteArray, keys);
    QFETCH(int, signal);
    QFETCH(int, endedBy);
    const QString gif = Save("steps.gif", ColourSteps());
    std::vector<std::string> args{GLIMMORA_CONVERT, gif.toStdString(), "--colors", "full",
                                  "--fill"};
    for (const QString& arg : loop) {
        args.push_back(arg.toStdString());
    }
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    winsize size{};
    size.ws_row = 10;
    size.ws_col = 20;
    int master = -1;
    const pid_t child = ::forkpty(&master, nullptr, nullptr, &size);
    QVERIFY(child >= 0);
    if (child == 0) {
        ::alarm(60); // a player that never stops is ended, not the suite
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    termios before{};
    QVERIFY(::tcgetattr(master, &before) == 0);
    QVERIFY((before.c_lflag & ECHO) != 0 && (before.c_lflag & ICANON) != 0);

    QByteArray shown;
    bool acted = keys.isEmpty() && signal == 0;
    for (;;) {
        pollfd wait{master, POLLIN, 0};
        if (::poll(&wait, 1, 30000) <= 0) {
            break;
        }
        char buffer[4096];
        const ssize_t got = ::read(master, buffer, sizeof buffer);
        if (got <= 0) {
            break; // the player has ended and its terminal closed
        }
        shown.append(buffer, got);
        if (!acted && shown.contains("\x1b[?2026l")) {
            acted = true;
            termios playing{};
            QVERIFY(::tcgetattr(master, &playing) == 0);
            QVERIFY((playing.c_lflag & ECHO) == 0);
            if (!keys.isEmpty()) {
                QCOMPARE(::write(master, keys.constData(), keys.size()), keys.size());
            } else {
                ::kill(child, signal);
            }
        }
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    if (endedBy == 0) {
        QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, shown);
    } else {
        QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == endedBy, shown);
    }

    QVERIFY2(shown.contains("\x1b[?25l\x1b[?2026h"), shown);
    QVERIFY2(shown.endsWith("\x1b[?2026l\x1b[0m\x1b[?25h"), shown);
    if (endedBy == 0 && keys.isEmpty()) {
        // Every frame once, in order, each over the last (one line up).
        const qsizetype red = shown.indexOf(kRedCell);
        const qsizetype green = shown.indexOf(kGreenCell);
        const qsizetype blue = shown.indexOf(kBlueCell);
        QVERIFY2(red >= 0 && red < green && green < blue, shown);
        QCOMPARE(shown.count("\x1b[?2026h"), 3);
        QCOMPARE(shown.count("\x1b[?2026h\r\x1b["), 2);
        QVERIFY(!shown.mid(blue).contains(kRedCell));
    }
    ::close(master);
}

QTEST_GUILESS_MAIN(AnimationTests)
#include "AnimationTests.moc"
