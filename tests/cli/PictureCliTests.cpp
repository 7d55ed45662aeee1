#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include "tests/cli/RunConvert.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPictures.h"

namespace glimmora::testing {

namespace {

QImage Gradient(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, 120));
        }
    }
    return image;
}

} // namespace

class PictureCliTests : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(folder_.isValid()); }
    void png_writtenForEveryArt_data();
    void png_writtenForEveryArt();
    void refused_targetLeftAsItWas_data();
    void refused_targetLeftAsItWas();
    void terminal_neverGetsAPicture();

private:
    QTemporaryDir folder_;
};

void PictureCliTests::png_writtenForEveryArt_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("output");
    QTest::addRow("extensionChoosesPng") << QStringList{"-o", "a.PNG"} << "a.PNG";
    QTest::addRow("formatWithoutExtension") << QStringList{"-f", "png", "-o", "b"} << "b";
    QTest::addRow("colouredLetters")
        << QStringList{"-f", "png", "--word", "AB", "--background", "336699", "-o", "c.png"}
        << "c.png";
    QTest::addRow("terminalTextInColour")
        << QStringList{"-f", "png", "--art", "text", "--color", "-o", "d.png"} << "d.png";
    QTest::addRow("cellArtInBlocks")
        << QStringList{"-f", "png", "--art", "text", "--symbols", "blocks", "--fill", "-o", "e.png"}
        << "e.png";
    QTest::addRow("standardOutput")
        << QStringList{"-f", "png", "--art", "html", "-o", "-"} << QString();
}

void PictureCliTests::png_writtenForEveryArt() {
    QFETCH(QStringList, args);
    QFETCH(QString, output);
    const QString picture = SavePng(folder_, "gradient.png", Gradient(40, 30));
    for (QString& arg : args) {
        if (arg.contains('.') || arg == "b") {
            arg = folder_.filePath(arg);
        }
    }
    const Run run = RunConvert(QStringList{picture, "-s", "2x2"} + args);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    const QByteArray bytes = output.isEmpty() ? run.out : ReadAll(folder_.filePath(output));
    QImage image;
    QVERIFY(image.loadFromData(bytes, "PNG"));
    // 20 x 15 cells at 96 dpi: never smaller than a pixel a cell.
    QVERIFY(image.width() >= 20 && image.height() >= 15);
}

void PictureCliTests::refused_targetLeftAsItWas_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("message");
    QTest::addRow("widerThanReadersTake") << QStringList{"--font-size", "1000", "-s", "1x1"}
                                          << QByteArray("pixels, wider than the 1000000 pixels");
    QTest::addRow("sizeThatIsNoSize")
        << QStringList{"--font-size", "big"} << QByteArray("The font size \"big\" is not a number");
}

void PictureCliTests::refused_targetLeftAsItWas() {
    QFETCH(QStringList, args);
    QFETCH(QByteArray, message);
    const QString picture = SavePng(folder_, "wide.png", Gradient(2000, 1));
    const QString target = folder_.filePath("kept.png");
    QVERIFY(WriteFile(target, "old"));
    const Run run = RunConvert(QStringList{picture, "-o", target} + args);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(message), run.err.constData());
    QCOMPARE(ReadAll(target), QByteArray("old"));
    QCOMPARE(QDir(folder_.path()).entryList(QDir::Files | QDir::Hidden).filter("kept").size(), 1);
}

void PictureCliTests::terminal_neverGetsAPicture() {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) {
        QSKIP("This system gives no pseudo-terminal.");
    }
    QVERIFY(::grantpt(master) == 0 && ::unlockpt(master) == 0);
    RunSetup setup;
    setup.outFd = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    const QString picture = SavePng(folder_, "small.png", Gradient(8, 8));
    const Run run = RunConvert(QStringList{picture, "-f", "png"}, setup);
    ::close(setup.outFd);
    ::close(master);
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains("not written to a terminal"), run.err.constData());
}

} // namespace glimmora::testing

QTEST_GUILESS_MAIN(glimmora::testing::PictureCliTests)
#include "PictureCliTests.moc"
