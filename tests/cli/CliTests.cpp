#include <QBuffer>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <string>

#include "core/ConversionJob.h"
#include "output/Documents.h"
#include "platform/Picture.h"
#include "tests/support/TestDocuments.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPictures.h"

using namespace glimmora;
using glimmora::testing::Bytes;
using glimmora::testing::ReadAll;
using glimmora::testing::SavePng;
using glimmora::testing::Style;
using glimmora::testing::WriteFile;

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run RunConvert(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(GLIMMORA_CONVERT), args);
    Run run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

std::string Repeat(const std::string& text, int times) {
    std::string result;
    for (int i = 0; i < times; ++i) {
        result += text;
    }
    return result;
}

// 8 x 8: black left half, white right half.
QImage HalfBlackPicture() {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 4; ++x) {
            image.setPixel(x, y, qRgb(0, 0, 0));
        }
    }
    return image;
}

// 300 x 200 (60000 pixels, the second scale band) with gradients in three
// directions, so every band of the ramp and many colours turn up.
QImage PhotoLikePicture() {
    QImage image(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, qRgb(x * 255 / 299, y * 255 / 199, ((x + y) * 7) & 0xFF));
        }
    }
    return image;
}

const std::array<std::string, 9> kSignRamp = {"9", "=", "u", "e", ";;", "::", ",,", "..", "  "};
const std::array<std::string, 9> kCleanRamp = {"9", "=", "u", "e", ";", ":", ",", ".", " "};

} // namespace

class CliTests : public QObject {
    Q_OBJECT

private slots:
    void init();

    // Documents.
    void eachFormat_defaults_exactBytes_data();
    void eachFormat_defaults_exactBytes();
    void photoLikePicture_matchesTheEngine_data();
    void photoLikePicture_matchesTheEngine();
    void scaleOption_setsTheSteps();
    void wordOption_buildsColouredArt();
    void rampOptions_replaceTheSigns();
    void styleOptions_goIntoTheDocument();
    void utf8Arguments_becomeWindows1252();

    // Where the document goes.
    void outputFile_getsTheSameBytesAsStdout();
    void outputFile_existing_isReplaced();

    // Help and version.
    void help_showsUsage();
    void version_showsVersion();

    // Failures.
    void failure_data();
    void failure();

private:
    QString PicturePath(const QString& name, const QImage& image);

    std::unique_ptr<QTemporaryDir> dir_;
};

void CliTests::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

QString CliTests::PicturePath(const QString& name, const QImage& image) {
    return SavePng(*dir_, name, image);
}

// --- Documents --------------------------------------------------------------

void CliTests::eachFormat_defaults_exactBytes_data() {
    QTest::addColumn<QStringList>("formatArgs");
    QTest::addColumn<QByteArray>("expected");

    // 64 pixels: the first scale band. RTF and HTML text step 1 across and 2
    // down, clean text 4 and 4, coloured text 1 and 1.
    const std::string signLine = "9999" + std::string(8, ' ') + "\r";
    QTest::addRow("noFormat_isRtfArial5")
        << QStringList{}
        << Bytes(SaveBytes(OutputFormat::Rtf, Repeat(signLine, 4), Style("000000", "5", "Arial")));
    QTest::addRow("rtf") << QStringList{"-f", "rtf"}
                         << Bytes(SaveBytes(OutputFormat::Rtf, Repeat(signLine, 4),
                                            Style("000000", "5", "Arial")));
    QTest::addRow("clean_oneBlankWhite")
        << QStringList{"-f", "clean"} << QByteArray("9 \r9 \r\r\n");
    QTest::addRow("html_whiteBackgroundArial5")
        << QStringList{"-f", "html"}
        << Bytes(SaveBytes(OutputFormat::HtmlText, Repeat(signLine, 4),
                           Style("FFFFFF", "5", "Arial")));
    const std::string colourLine = Repeat("<font color=\"#000000\"></font>", 4) +
                                   Repeat("<font color=\"#FFFFFF\"></font>", 4) + "\r";
    QTest::addRow("htmlColor_blackBackgroundTahoma8_emptyWord")
        << QStringList{"--format", "html-color"}
        << Bytes(SaveBytes(OutputFormat::HtmlColoredText, Repeat(colourLine, 8),
                           Style("000000", "8", "Tahoma")));
}

void CliTests::eachFormat_defaults_exactBytes() {
    QFETCH(QStringList, formatArgs);
    QFETCH(QByteArray, expected);
    const QString picture = PicturePath("half.png", HalfBlackPicture());
    const Run run = RunConvert(QStringList{picture} + formatArgs);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, expected);
}

void CliTests::photoLikePicture_matchesTheEngine_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("outputFormat");
    QTest::addColumn<QString>("scale");
    QTest::addColumn<QString>("across");
    QTest::addColumn<QString>("down");

    // 60000 pixels: the second band's proposals, then a scale given.
    QTest::addRow("rtf_proposed2x4") << "rtf" << int(OutputFormat::Rtf) << ""
                                     << "2"
                                     << "4";
    QTest::addRow("clean_proposed6x6") << "clean" << int(OutputFormat::CleanText) << ""
                                       << "6"
                                       << "6";
    QTest::addRow("html_proposed2x4") << "html" << int(OutputFormat::HtmlText) << ""
                                      << "2"
                                      << "4";
    QTest::addRow("htmlColor_proposed2x2")
        << "html-color" << int(OutputFormat::HtmlColoredText) << ""
        << "2"
        << "2";
    QTest::addRow("rtf_given3x5") << "rtf" << int(OutputFormat::Rtf) << "3x5"
                                  << "3"
                                  << "5";
    QTest::addRow("htmlColor_given1x1")
        << "html-color" << int(OutputFormat::HtmlColoredText) << "1x1"
        << "1"
        << "1";
}

void CliTests::photoLikePicture_matchesTheEngine() {
    QFETCH(QString, format);
    QFETCH(int, outputFormat);
    QFETCH(QString, scale);
    QFETCH(QString, across);
    QFETCH(QString, down);
    const auto f = static_cast<OutputFormat>(outputFormat);

    const QString path = PicturePath("photo.png", PhotoLikePicture());
    const PictureLoadResult loaded = LoadPictureFile(path);
    QVERIFY2(loaded.picture, qPrintable(loaded.error));
    ConversionInputs inputs;
    inputs.widthText = "300";
    inputs.heightText = "200";
    inputs.scaleWidthText = across.toStdString();
    inputs.scaleHeightText = down.toStdString();
    inputs.coloured = f == OutputFormat::HtmlColoredText;
    inputs.ramp = f == OutputFormat::CleanText ? kCleanRamp : kSignRamp;
    inputs.word = "GLIMMORA";
    ConversionEngine engine(inputs, loaded.picture.get());
    while (engine.Step() != StepResult::Finished) {
    }
    DocumentStyle style = Style("000000", "5", "Arial");
    if (f == OutputFormat::HtmlText) {
        style.backgroundColorCode = "FFFFFF";
    } else if (f == OutputFormat::HtmlColoredText) {
        style = Style("000000", "8", "Tahoma");
    }
    const QByteArray expected = Bytes(SaveBytes(f, engine.ArtText(), style));

    QStringList args{path, "-f", format, "--word", "GLIMMORA"};
    if (!scale.isEmpty()) {
        args << "-s" << scale;
    }
    const Run run = RunConvert(args);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out.size(), expected.size());
    QVERIFY(run.out == expected);
}

void CliTests::scaleOption_setsTheSteps() {
    const QString picture = PicturePath("half.png", HalfBlackPicture());
    const Run run = RunConvert({picture, "-s", "2x4"});
    QCOMPARE(run.exitCode, 0);
    // Columns 0, 2 (black) and 4, 6 (white, two blanks each); rows 0 and 4.
    QCOMPARE(run.out, Bytes(SaveBytes(OutputFormat::Rtf, "99    \r99    \r",
                                      Style("000000", "5", "Arial"))));
}

void CliTests::wordOption_buildsColouredArt() {
    const QString picture = PicturePath("half.png", HalfBlackPicture());
    const Run run = RunConvert({picture, "-f", "html-color", "-s", "4x4", "--word", "ABC"});
    QCOMPARE(run.exitCode, 0);
    // The word runs on across the line end: A B, then C A.
    const std::string art = "<font color=\"#000000\">A</font><font color=\"#FFFFFF\">B</font>\r"
                            "<font color=\"#000000\">C</font><font color=\"#FFFFFF\">A</font>\r";
    QCOMPARE(run.out,
             Bytes(SaveBytes(OutputFormat::HtmlColoredText, art, Style("000000", "8", "Tahoma"))));
}

void CliTests::rampOptions_replaceTheSigns() {
    const QString picture = PicturePath("half.png", HalfBlackPicture());
    const Run run =
        RunConvert({picture, "-f", "clean", "--black", "#", "--white=<>", "--color8", "unused"});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.out, QByteArray("#<>\r#<>\r\r\n"));

    const Run emptied = RunConvert({picture, "-f", "clean", "--black", ""});
    QCOMPARE(emptied.out, QByteArray(" \r \r\r\n"));
}

void CliTests::styleOptions_goIntoTheDocument() {
    const QString picture = PicturePath("half.png", HalfBlackPicture());
    const Run run = RunConvert({picture, "-f", "html", "-s", "4x8", "--font-face", "Courier New",
                                "--font-size=7", "--background", "ff00aa"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, Bytes(SaveBytes(OutputFormat::HtmlText, "9  \r",
                                      Style("FF00AA", "7", "Courier New"))));

    const Run rtf =
        RunConvert({picture, "-s", "4x8", "--font-size", "8.5", "--font-face", "Tahoma"});
    QCOMPARE(rtf.exitCode, 0);
    QCOMPARE(rtf.out,
             Bytes(SaveBytes(OutputFormat::Rtf, "9  \r", Style("000000", "8.5", "Tahoma"))));
    QVERIFY(rtf.out.contains("\\fs17\r\n"));
}

void CliTests::utf8Arguments_becomeWindows1252() {
    const QString picture =
        PicturePath(QString::fromUtf8("bild \xc3\xa9t\xc3\xa9.png"), HalfBlackPicture());
    QVERIFY(!picture.isEmpty());
    const Run run = RunConvert({picture, "-f", "clean", "-s", "4x8", "--black",
                                QString::fromUtf8("\xe2\x82\xac"), "--white",
                                QString::fromUtf8("\xc3\xa9\xe6\xbc\xa2")});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.out, QByteArray("\x80\xe9?\r\r\n"));
}

// --- Where the document goes ------------------------------------------------

void CliTests::outputFile_getsTheSameBytesAsStdout() {
    const QString picture = PicturePath("photo.png", PhotoLikePicture());
    const QString output = dir_->filePath("art.html");
    const Run toStdout = RunConvert({picture, "-f", "html"});
    const Run toFile = RunConvert({picture, "-f", "html", "-o", output});
    QCOMPARE(toFile.exitCode, 0);
    QCOMPARE(toFile.out, QByteArray());
    QCOMPARE(toFile.err, QByteArray());
    QVERIFY(!toStdout.out.isEmpty());
    QVERIFY(ReadAll(output) == toStdout.out);
    // The name is used as given: no extension is added.
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), QStringList({"art.html", "photo.png"}));
}

void CliTests::outputFile_existing_isReplaced() {
    const QString picture = PicturePath("half.png", HalfBlackPicture());
    const QString output = dir_->filePath("art.txt");
    QVERIFY(WriteFile(output, QByteArray(1000, 'x')));
    const Run run = RunConvert({picture, "-f", "clean", "--output", output});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(ReadAll(output), QByteArray("9 \r9 \r\r\n"));
    const Run again = RunConvert({picture, "-f", "clean", "-o", output});
    QCOMPARE(again.exitCode, 0);
    QCOMPARE(ReadAll(output), QByteArray("9 \r9 \r\r\n"));
}

// --- Help and version -------------------------------------------------------

void CliTests::help_showsUsage() {
    for (const QString& option : {QStringLiteral("--help"), QStringLiteral("-h")}) {
        const Run run = RunConvert({option});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QByteArray());
        QVERIFY(run.out.startsWith("Usage: glimmora-convert PICTURE"));
        for (const char* word : {"--output", "--format", "--scale", "--black", "--white", "--word",
                                 "--font-face", "--font-size", "--background"}) {
            QVERIFY2(run.out.contains(word), word);
        }
    }
}

void CliTests::version_showsVersion() {
    const Run run = RunConvert({"--version"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray("glimmora-convert 2.0\n"));
    QCOMPARE(run.err, QByteArray());
}

// --- Failures ---------------------------------------------------------------

void CliTests::failure_data() {
    QTest::addColumn<QStringList>("args"); // %P: a good picture, %D: the folder
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("errorPart");

    // Wrong usage.
    QTest::addRow("unknownOption") << QStringList{"%P", "--colour", "x"} << 2 << "--colour";
    QTest::addRow("missingValue") << QStringList{"%P", "--word"} << 2 << "--word";
    QTest::addRow("noPicture") << QStringList{"-f", "rtf"} << 2 << "picture";
    QTest::addRow("nothingAtAll") << QStringList{} << 2 << "picture";
    QTest::addRow("twoPictures") << QStringList{"%P", "%P"} << 2 << "one picture";
    QTest::addRow("unknownFormat") << QStringList{"%P", "-f", "pdf"} << 2 << "pdf";
    QTest::addRow("scaleZero") << QStringList{"%P", "-s", "0x3"} << 2 << "0x3";
    QTest::addRow("scaleHalfMissing") << QStringList{"%P", "-s", "3x"} << 2 << "3x";
    QTest::addRow("scaleFraction") << QStringList{"%P", "-s", "2.5x2"} << 2 << "2.5x2";
    QTest::addRow("scaleNegative") << QStringList{"%P", "-s", "-2x2"} << 2 << "-2x2";
    QTest::addRow("scaleTooLarge") << QStringList{"%P", "-s", "32768x1"} << 2 << "32768x1";
    QTest::addRow("scaleOneNumber") << QStringList{"%P", "-s", "4"} << 2 << "\"4\"";
    QTest::addRow("scaleBlanks") << QStringList{"%P", "-s", " 2x2"} << 2 << "2x2";
    QTest::addRow("backgroundFiveDigits")
        << QStringList{"%P", "--background", "FFFFF"} << 2 << "FFFFF";
    QTest::addRow("backgroundNotHex")
        << QStringList{"%P", "--background", "GG0000"} << 2 << "GG0000";
    QTest::addRow("backgroundWithHash")
        << QStringList{"%P", "--background", "#FFFFFF"} << 2 << "#FFFFFF";
    QTest::addRow("emptyOutputName") << QStringList{"%P", "-o", ""} << 2 << "output";

    // Pictures that cannot be read.
    QTest::addRow("missingPicture") << QStringList{"%D/none.png"} << 1 << "none.png";
    QTest::addRow("folder") << QStringList{"%D"} << 1 << "folder";
    QTest::addRow("emptyFile") << QStringList{"%D/empty.png"} << 1 << "empty.png";
    QTest::addRow("truncatedPng") << QStringList{"%D/cut.png"} << 1 << "cut.png";
    QTest::addRow("textFile") << QStringList{"%D/notes.txt"} << 1 << "notes.txt";

    // An output that cannot be written.
    QTest::addRow("outputFolderMissing")
        << QStringList{"%P", "-o", "%D/no/such/art.rtf"} << 1 << "art.rtf";
    QTest::addRow("outputIsFolder") << QStringList{"%P", "-o", "%D"} << 1 << "cannot be written";
}

void CliTests::failure() {
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, errorPart);

    const QString picture = PicturePath("photo.png", PhotoLikePicture());
    QVERIFY(WriteFile(dir_->filePath("empty.png"), {}));
    const QByteArray png = ReadAll(picture);
    QVERIFY(WriteFile(dir_->filePath("cut.png"), png.left(png.size() / 2)));
    QVERIFY(WriteFile(dir_->filePath("notes.txt"), "Not a picture.\n"));
    const QString existing = dir_->filePath("existing.rtf");
    QVERIFY(WriteFile(existing, "keep me"));
    for (QString& arg : args) {
        arg.replace("%P", picture).replace("%D", dir_->path());
    }

    // Once to standard output, once into a file that exists already.
    for (const bool toFile : {false, true}) {
        QStringList runArgs = args;
        if (toFile && !args.contains("-o")) {
            runArgs = QStringList{"-o", existing} + args;
        }
        const Run run = RunConvert(runArgs);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.out, QByteArray());
        QVERIFY2(run.err.startsWith("glimmora-convert: "), run.err.constData());
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY(run.err.endsWith('\n'));
        QVERIFY2(QString::fromUtf8(run.err).contains(errorPart), run.err.constData());
        QCOMPARE(ReadAll(existing), QByteArray("keep me"));
    }
    QVERIFY(!QFile::exists(dir_->filePath("no")));
    const QStringList left = QDir(dir_->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QCOMPARE(left, QStringList({"cut.png", "empty.png", "existing.rtf", "notes.txt", "photo.png"}));
}

QTEST_GUILESS_MAIN(CliTests)
#include "CliTests.moc"
