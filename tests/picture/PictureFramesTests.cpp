#include <QtTest>

#include <vector>

#include "picture/PictureFrames.h"
#include "tests/support/TestAnimations.h"

using namespace glimmora;
using namespace glimmora::testing;

namespace {

constexpr Colour kW = 0xFFFFFF;
constexpr Colour kR = 0x0000FF; // colours as 0x00BBGGRR
constexpr Colour kG = 0x00FF00;
constexpr Colour kB = 0xFF0000;

std::shared_ptr<const PictureFile> FileOf(const QByteArray& bytes) {
    return PictureFile::FromBytes(bytes, QStringLiteral("anim.gif")).file;
}

} // namespace

class PictureFramesTests : public QObject {
    Q_OBJECT

private slots:
    void FramesAreComposedAsTheFileSays();
    void RepeatsAreTheFilesLoopCount_data();
    void RepeatsAreTheFilesLoopCount();
    void AStillHasOneFrame();
};

void PictureFramesTests::FramesAreComposedAsTheFileSays() {
    const auto file = FileOf(DisposalAnimation());
    QVERIFY(file);
    PictureFrames frames(*file);
    // Counted before any is read, without changing what is read after.
    QCOMPARE(frames.Count(), 4);
    // Pixels top left, top right, bottom left, bottom right, and the delay.
    const std::vector<std::pair<std::array<Colour, 4>, int>> expected = {
        {{kR, kR, kR, kR}, 50},
        {{kB, kR, kR, kR}, 100}, // the reader gives an unset delay as 100 ms
        {{kW, kR, kR, kG}, 120}, // the blue corner back to the background
        {{kW, kR, kR, kR}, 300}, // the green one undone; transparent keeps red
    };
    for (const auto& [pixels, delay] : expected) {
        const auto frame = frames.Next();
        QVERIFY2(frame, qPrintable(frames.Failed()));
        const std::array<Colour, 4> got = {frame->GetPixel(0, 0), frame->GetPixel(1, 0),
                                           frame->GetPixel(0, 1), frame->GetPixel(1, 1)};
        QVERIFY2(got == pixels, qPrintable(QStringLiteral("frame %1: %2 %3 %4 %5")
                                               .arg(frames.Read())
                                               .arg(got[0], 6, 16)
                                               .arg(got[1], 6, 16)
                                               .arg(got[2], 6, 16)
                                               .arg(got[3], 6, 16)));
        QCOMPARE(frames.Delay(), delay);
    }
    QVERIFY(!frames.Next());
    QVERIFY(frames.Failed().isEmpty());
    QCOMPARE(frames.Read(), 4);
}

void PictureFramesTests::RepeatsAreTheFilesLoopCount_data() {
    QTest::addColumn<std::optional<int>>("written");
    QTest::addColumn<int>("repeats");
    QTest::newRow("for ever") << std::optional<int>(0) << -1;
    QTest::newRow("no loop block") << std::optional<int>() << 0;
    QTest::newRow("three more") << std::optional<int>(3) << 3;
}

void PictureFramesTests::RepeatsAreTheFilesLoopCount() {
    QFETCH(std::optional<int>, written);
    QFETCH(int, repeats);
    const auto file = FileOf(DisposalAnimation(written));
    QVERIFY(file);
    PictureFrames frames(*file);
    QVERIFY(frames.Next());
    QCOMPARE(frames.Repeats(), repeats);
}

void PictureFramesTests::AStillHasOneFrame() {
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    image.setPixel(1, 1, qRgb(0, 0, 255));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(image.save(&buffer, "PNG"));
    const auto file = PictureFile::FromBytes(bytes, QStringLiteral("still.png")).file;
    QVERIFY(file);
    PictureFrames frames(*file);
    const auto frame = frames.Next();
    QVERIFY(frame);
    QCOMPARE(frame->GetPixel(0, 0), kW);
    QCOMPARE(frame->GetPixel(1, 1), kB);
    QVERIFY(!frames.Next());
    QCOMPARE(frames.Repeats(), 0);
    QCOMPARE(frames.Count(), 1);
}

QTEST_GUILESS_MAIN(PictureFramesTests)
#include "PictureFramesTests.moc"
