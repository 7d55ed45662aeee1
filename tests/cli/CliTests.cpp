#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "core/ConversionJob.h"
#include "output/Documents.h"
#include "platform/Picture.h"
#include "tests/cli/RunConvert.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestDocuments.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPictures.h"

using namespace glimmora;
using glimmora::testing::Bytes;
using glimmora::testing::ChildOptions;
using glimmora::testing::HandToUnprivileged;
using glimmora::testing::ReadAll;
using glimmora::testing::Run;
using glimmora::testing::RunConvert;
using glimmora::testing::RunConvertBytes;
using glimmora::testing::RunSetup;
using glimmora::testing::SavePng;
using glimmora::testing::Style;
using glimmora::testing::WriteFile;

namespace {

QByteArray Repeat(const QByteArray& text, int times) {
    return text.repeated(times);
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

// The colour of the photo-like picture at (x, y).
QRgb PhotoLikePixel(int x, int y) {
    return qRgb(x * 255 / 299, y * 255 / 199, ((x + y) * 7) & 0xFF);
}

// 300 x 200 (60000 pixels, the second scale band) with gradients in three
// directions, so every band of the ramp and many colours turn up.
QImage PhotoLikePicture() {
    QImage image(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, PhotoLikePixel(x, y));
        }
    }
    return image;
}

// The documents as their templates read, written out here by hand.
QByteArray RtfDocument(const QByteArray& face, const QByteArray& halfPoints,
                       const QByteArray& body) {
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1053{\\fonttbl{\\f0\\fswiss\\fcharset0" +
           face + ";}}\r\n{\\*\\generator OrvanelLumetra2.0;}\\viewkind4\\uc1\\pard\\f0\\fs" +
           halfPoints + "\r\n" + body + "\r\n}\r\n";
}
QByteArray HtmlDocument(const QByteArray& background, const QByteArray& size,
                        const QByteArray& face, const QByteArray& body) {
    return "<HTML>\r\n<HEAD>\r\n<title>Ascii Art By Glimmora</title>\r\n"
           "<STYLE TYPE=\"text/css\">\r\nbody {background-color: #" +
           background + "; font-size:" + size + "pt; line-height:" + size +
           "pt}\r\n</STYLE><pre>\r\n</HEAD>\r\n<BODY>\r\n<font face=\"" + face + "\">\r\n" + body +
           "\r\n</font></pre>\r\n</BODY>\r\n</HTML>\r\n";
}

const std::array<std::string, 9> kCleanRamp = {"9", "=", "u", "e", ";", ":", ",", ".", " "};

// The engine's sign-mode art for a picture file, with LFs for its CRs: what
// -f text must write.
QByteArray EngineText(const QString& path, int across, int down,
                      const std::array<std::string, 9>& ramp) {
    const PictureLoadResult loaded = LoadPictureFile(path);
    if (!loaded.picture) {
        return {};
    }
    ConversionInputs inputs;
    inputs.widthText = std::to_string(loaded.picture->Width());
    inputs.heightText = std::to_string(loaded.picture->Height());
    inputs.scaleWidthText = std::to_string(across);
    inputs.scaleHeightText = std::to_string(down);
    inputs.ramp = ramp;
    ConversionEngine engine(inputs, loaded.picture.get());
    while (engine.Step() != StepResult::Finished) {
    }
    QByteArray art = Bytes(engine.ArtText());
    art.replace('\r', '\n');
    return art;
}

// One cell of coloured text: its colour and its text.
struct ColourCell {
    QRgb colour;
    QByteArray text;
};

// The lines of coloured text, each cell "ESC[38;2;R;G;Bm" and its text, each
// line ending in "ESC[0m" LF; nothing when the text is not of that form.
std::optional<std::vector<std::vector<ColourCell>>> ColourLines(const QByteArray& text) {
    static const QRegularExpression cell(QStringLiteral("\x1b\\[38;2;(\\d+);(\\d+);(\\d+)m"));
    std::vector<std::vector<ColourCell>> lines;
    for (const QByteArray& line : text.split('\n')) {
        if (line.isEmpty()) {
            continue;
        }
        if (!line.endsWith("\x1b[0m")) {
            return std::nullopt;
        }
        std::vector<ColourCell> cells;
        const QString rest = QString::fromUtf8(line.chopped(4));
        qsizetype at = 0;
        while (at < rest.size()) {
            const QRegularExpressionMatch match =
                cell.match(rest, at, QRegularExpression::NormalMatch,
                           QRegularExpression::AnchorAtOffsetMatchOption);
            if (!match.hasMatch()) {
                return std::nullopt;
            }
            at = match.capturedEnd();
            const qsizetype next = rest.indexOf(QChar(0x1b), at);
            const qsizetype end = next < 0 ? rest.size() : next;
            cells.push_back({qRgb(match.captured(1).toInt(), match.captured(2).toInt(),
                                  match.captured(3).toInt()),
                             rest.mid(at, end - at).toUtf8()});
            at = end;
        }
        lines.push_back(cells);
    }
    return lines;
}

bool IsOneLine(const QByteArray& err) {
    return err.startsWith("glimmora-convert: ") && err.count('\n') == 1 && err.endsWith('\n');
}

mode_t ModeOf(const QString& path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode : 0;
}

} // namespace

class CliTests : public QObject {
    Q_OBJECT

private slots:
    void init();

    // Documents.
    void eachFormat_defaults_exactBytes_data();
    void eachFormat_defaults_exactBytes();
    void photoLikePicture_proposedScale_shapeAndColours_data();
    void photoLikePicture_proposedScale_shapeAndColours();
    void scaleOption_setsTheSteps();
    void wordOption_buildsColouredArt();
    void rampOptions_replaceTheSigns();
    void styleOptions_goIntoTheDocument();
    void utf8Arguments_becomeWindows1252();
    void questionMarks_saidOnStandardError_data();
    void questionMarks_saidOnStandardError();

    // Text for terminals and tools.
    void text_isTheEngineArt_data();
    void text_isTheEngineArt();
    void colourText_cellsInTheirPixelsColours_data();
    void colourText_cellsInTheirPixelsColours();
    void terminal_getsColourTextAsWideAsItIs_data();
    void terminal_getsColourTextAsWideAsItIs();

    // Where the documents go.
    void outputFile_getsTheSameBytesAsStdout();
    void outputFile_existing_isReplaced();
    void outputExtension_choosesTheFormat_data();
    void outputExtension_choosesTheFormat();
    void standardStreams_dash();
    void severalPictures_data();
    void severalPictures();
    void outputTarget_safety_data();
    void outputTarget_safety();
    void fileNames_areTheSystemsBytes();
    void outOfMemory_failsAndKeepsTheTarget();

    // Help, version and the manual page.
    void help_showsUsage();
    void version_showsVersion();
    void answer_cannotBeWritten_fails_data();
    void answer_cannotBeWritten_fails();
    void manPage_listsWhatHelpLists();

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
    const QByteArray rtf = RtfDocument("Arial", "10", Repeat("9999        \\par\r", 4));
    QTest::addRow("noFormat_isRtfArial5") << QStringList{} << rtf;
    QTest::addRow("rtf") << QStringList{"-f", "rtf"} << rtf;
    QTest::addRow("clean_oneBlankWhite")
        << QStringList{"-f", "clean"} << QByteArray("9 \r9 \r\r\n");
    QTest::addRow("html_whiteBackgroundArial5")
        << QStringList{"-f", "html"}
        << HtmlDocument("FFFFFF", "5", "Arial", Repeat("9999" + Repeat("&nbsp;", 8) + "<BR>", 4));
    const QByteArray colourLine = Repeat("<font color=\"#000000\"></font>", 4) +
                                  Repeat("<font color=\"#FFFFFF\"></font>", 4) + "<BR>";
    QTest::addRow("htmlColor_blackBackgroundTahoma8_emptyWord")
        << QStringList{"--format", "html-color"}
        << HtmlDocument("000000", "8", "Tahoma", Repeat(colourLine, 8));
    QTest::addRow("text_utf8LineFeeds") << QStringList{"-f", "text"} << Repeat("9999    \n", 4);
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

void CliTests::photoLikePicture_proposedScale_shapeAndColours_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("scale");
    QTest::addColumn<int>("across");
    QTest::addColumn<int>("down");

    // 60000 pixels: the second band's proposals, then a scale given.
    QTest::addRow("rtf_proposed2x4") << "rtf"
                                     << "" << 2 << 4;
    QTest::addRow("clean_proposed6x6") << "clean"
                                       << "" << 6 << 6;
    QTest::addRow("html_proposed2x4") << "html"
                                      << "" << 2 << 4;
    QTest::addRow("htmlColor_proposed2x2") << "html-color"
                                           << "" << 2 << 2;
    QTest::addRow("clean_given3x5") << "clean"
                                    << "3x5" << 3 << 5;
    QTest::addRow("htmlColor_given7x9") << "html-color"
                                        << "7x9" << 7 << 9;
}

void CliTests::photoLikePicture_proposedScale_shapeAndColours() {
    QFETCH(QString, format);
    QFETCH(QString, scale);
    QFETCH(int, across);
    QFETCH(int, down);

    const QString path = PicturePath("photo.png", PhotoLikePicture());
    QStringList args{path, "-f", format, "--word", "GLIMMORA"};
    if (!scale.isEmpty()) {
        args << "-s" << scale;
    }
    const Run run = RunConvert(args);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    const int lines = (200 + down - 1) / down;
    const int cells = (300 + across - 1) / across;
    if (format == "rtf") {
        QCOMPARE(run.out.count("\\par\r"), lines);
    } else if (format == "html") {
        QCOMPARE(run.out.count("<BR>"), lines);
    } else if (format == "clean") {
        // One character a cell in the clean ramp.
        QVERIFY(run.out.endsWith("\r\r\n"));
        const QList<QByteArray> art = run.out.chopped(3).split('\r');
        QCOMPARE(art.size(), lines);
        for (const QByteArray& line : art) {
            QCOMPARE(line.size(), cells);
        }
    } else {
        // Each cell has the colour of the pixel it samples and the next
        // letter of the word, which runs on across the lines.
        static const QRegularExpression cell(
            QStringLiteral("<font color=\"#([0-9A-F]{6})\">(.?)</font>"));
        const QByteArray head = "<font face=\"Tahoma\">\r\n";
        const qsizetype begin = run.out.indexOf(head) + head.size();
        QByteArray art = run.out.mid(begin, run.out.indexOf("\r\n</font></pre>") - begin);
        QVERIFY(art.endsWith("<BR>"));
        art.chop(4);
        const QList<QByteArray> artLines = art.replace("<BR>", "\n").split('\n');
        QCOMPARE(artLines.size(), lines);
        int letter = 0;
        for (int row = 0; row < lines; ++row) {
            const QString line = QString::fromLatin1(artLines.at(row));
            int column = 0;
            for (const QRegularExpressionMatch& match : cell.globalMatch(line)) {
                const QRgb pixel = PhotoLikePixel(column * across, row * down);
                QCOMPARE(match.captured(1), QStringLiteral("%1%2%3")
                                                .arg(qRed(pixel), 2, 16, QChar('0'))
                                                .arg(qGreen(pixel), 2, 16, QChar('0'))
                                                .arg(qBlue(pixel), 2, 16, QChar('0'))
                                                .toUpper());
                QCOMPARE(match.captured(2), QString(QStringLiteral("GLIMMORA")[letter++ % 8]));
                ++column;
            }
            QCOMPARE(column, cells);
        }
    }
}

void CliTests::scaleOption_setsTheSteps() {
    const QString picture = PicturePath("half.png", HalfBlackPicture());
    const Run run = RunConvert({picture, "-s", "2x4"});
    QCOMPARE(run.exitCode, 0);
    // Columns 0, 2 (black) and 4, 6 (white, two blanks each); rows 0 and 4.
    QCOMPARE(run.out, RtfDocument("Arial", "10", "99    \\par\r99    \\par\r"));
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
    QCOMPARE(run.out, HtmlDocument("FF00AA", "7", "Courier New", "9&nbsp;&nbsp;<BR>"));

    const Run rtf =
        RunConvert({picture, "-s", "4x8", "--font-size", "8.5", "--font-face", "Tahoma"});
    QCOMPARE(rtf.exitCode, 0);
    QCOMPARE(rtf.out, RtfDocument("Tahoma", "17", "9  \\par\r"));
}

void CliTests::utf8Arguments_becomeWindows1252() {
    const QString picture =
        PicturePath(QString::fromUtf8("bild \xc3\xa9t\xc3\xa9.png"), HalfBlackPicture());
    QVERIFY(!picture.isEmpty());
    const Run run =
        RunConvert({picture, "-f", "clean", "-s", "4x8", "--black",
                    QString::fromUtf8("\xe2\x82\xac"), "--white", QString::fromUtf8("\xc3\xa9")});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.out, QByteArray("\x80\xe9\r\r\n"));
}

void CliTests::questionMarks_saidOnStandardError_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    const QByteArray said = "glimmora-convert: standard output: 2 characters that Windows-1252 "
                            "cannot hold written as \"?\".\n";
    QTest::addRow("clean_writesQuestionMarks_andSaysSo")
        << "clean" << QByteArray("?? \r\r\n") << said;
    QTest::addRow("rtf_holdsThemAsUnicode_saysNothing")
        << "rtf" << RtfDocument("Arial", "10", "\\u28450?\\u28450?  \\par\r") << QByteArray();
}

void CliTests::questionMarks_saidOnStandardError() {
    QFETCH(QString, format);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    const QString picture = PicturePath("half.png", HalfBlackPicture());
    const Run run = RunConvert({picture, "-f", format, "-s", "4x8", "--black",
                                QString::fromUtf8("\xe6\xbc\xa2\xe6\xbc\xa2")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, out);
    QCOMPARE(run.err, err);
}

// --- Text for terminals and tools -------------------------------------------

void CliTests::text_isTheEngineArt_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("across");
    QTest::addColumn<int>("down");
    QTest::addColumn<QStringList>("ramp");

    const QStringList clean{"9", "=", "u", "e", ";", ":", ",", ".", " "};
    QStringList inverted = clean;
    std::reverse(inverted.begin(), inverted.end());
    // 300 pixels wide: the smallest step giving at most N cells, twice it down.
    QTest::addRow("proposedLikeRtf") << QStringList{} << 2 << 4 << clean;
    QTest::addRow("columns80_step4") << QStringList{"--columns", "80"} << 4 << 8 << clean;
    QTest::addRow("columns75_step4_exactly75") << QStringList{"--columns", "75"} << 4 << 8 << clean;
    QTest::addRow("columns74_step5") << QStringList{"--columns=74"} << 5 << 10 << clean;
    QTest::addRow("columns300_step1") << QStringList{"--columns", "300"} << 1 << 2 << clean;
    QTest::addRow("columnsAbove300_step1") << QStringList{"--columns", "999"} << 1 << 2 << clean;
    QTest::addRow("columns1_oneCellALine") << QStringList{"--columns", "1"} << 300 << 600 << clean;
    QTest::addRow("columns7_scaleGivesDown")
        << QStringList{"--columns", "7", "-s", "9x5"} << 43 << 5 << clean;
    QTest::addRow("scaleGiven") << QStringList{"-s", "9x5"} << 9 << 5 << clean;
    QTest::addRow("chars_utf8") << QStringList{"-s", "6x6", "--chars",
                                               QString::fromUtf8("@#\xe2\x96\x93\xe2\x96\x92+=-. ")}
                                << 6 << 6 << QStringList{"@",
                                                         "#",
                                                         QString::fromUtf8("\xe2\x96\x93"),
                                                         QString::fromUtf8("\xe2\x96\x92"),
                                                         "+",
                                                         "=",
                                                         "-",
                                                         ".",
                                                         " "};
    QTest::addRow("chars_thenBlack_laterWins")
        << QStringList{"-s", "6x6", "--chars", "ABCDEFGHI", "--black", "Z"} << 6 << 6
        << QStringList{"Z", "B", "C", "D", "E", "F", "G", "H", "I"};
    QTest::addRow("black_thenChars_laterWins")
        << QStringList{"-s", "6x6", "--black", "Z", "--chars", "ABCDEFGHI"} << 6 << 6
        << QStringList{"A", "B", "C", "D", "E", "F", "G", "H", "I"};
    QTest::addRow("invert") << QStringList{"-s", "6x6", "--invert"} << 6 << 6 << inverted;
    QTest::addRow("invert_chars") << QStringList{"-s", "6x6", "--invert", "--chars", "ABCDEFGHI"}
                                  << 6 << 6
                                  << QStringList{"I", "H", "G", "F", "E", "D", "C", "B", "A"};
}

void CliTests::text_isTheEngineArt() {
    QFETCH(QStringList, args);
    QFETCH(int, across);
    QFETCH(int, down);
    QFETCH(QStringList, ramp);
    std::array<std::string, 9> signs;
    for (std::size_t i = 0; i < signs.size(); ++i) {
        signs[i] = ramp.at(static_cast<qsizetype>(i)).toStdString();
    }
    const QString picture = PicturePath("photo.png", PhotoLikePicture());
    const Run run = RunConvert(QStringList{picture, "-f", "text"} + args);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    const QByteArray expected = EngineText(picture, across, down, signs);
    QVERIFY(!expected.isEmpty());
    QCOMPARE(run.out, expected);
    QCOMPARE(run.out.count('\n'), (200 + down - 1) / down);
}

void CliTests::colourText_cellsInTheirPixelsColours_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("word");
    QTest::addRow("signs") << QStringList{"-f", "text", "--color"} << "";
    QTest::addRow("colourAlone_isText") << QStringList{"--color"} << "";
    QTest::addRow("signs_inverted") << QStringList{"--color", "--invert"} << "";
    // Letters HTML would escape come out as themselves.
    QTest::addRow("word_runsOnAcrossLines") << QStringList{"--color", "--word"} << "A&<>b";
}

void CliTests::colourText_cellsInTheirPixelsColours() {
    QFETCH(QStringList, args);
    QFETCH(QString, word);
    const QString picture = PicturePath("photo.png", PhotoLikePicture());
    QStringList runArgs = QStringList{picture, "-s", "7x9"} + args;
    if (!word.isEmpty()) {
        runArgs << word;
    }
    const Run run = RunConvert(runArgs);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    const auto lines = ColourLines(run.out);
    QVERIFY2(lines, run.out.left(200).constData());
    QCOMPARE(int(lines->size()), (200 + 8) / 9);

    // Without colour the same run gives the signs alone.
    QStringList plainArgs = runArgs;
    plainArgs.removeAll("--color");
    plainArgs << "-f"
              << "text";
    const QList<QByteArray> plain = RunConvert(plainArgs).out.split('\n');
    int letter = 0;
    for (std::size_t row = 0; row < lines->size(); ++row) {
        const std::vector<ColourCell>& cells = (*lines)[row];
        QCOMPARE(int(cells.size()), (300 + 6) / 7);
        QByteArray text;
        for (std::size_t column = 0; column < cells.size(); ++column) {
            QCOMPARE(cells[column].colour, PhotoLikePixel(int(column) * 7, int(row) * 9));
            text += cells[column].text;
            if (!word.isEmpty()) {
                QCOMPARE(cells[column].text, word.mid(letter++ % word.size(), 1).toUtf8());
            }
        }
        if (word.isEmpty()) {
            QCOMPARE(text, plain.at(qsizetype(row)));
        }
    }
}

void CliTests::terminal_getsColourTextAsWideAsItIs_data() {
    QTest::addColumn<QStringList>("inTerminal");
    QTest::addColumn<QStringList>("throughAFile");
    // The picture is 60 pixels wide, the terminal 25 columns.
    QTest::addRow("nothingGiven_colourTextAtTheWidth")
        << QStringList{} << QStringList{"-f", "text", "--color", "--columns", "25"};
    QTest::addRow("scaleGiven_keptForTheTerminal")
        << QStringList{"-s", "6x8"} << QStringList{"-f", "text", "--color", "-s", "6x8"};
    QTest::addRow("formatGiven_theDocument")
        << QStringList{"-f", "rtf"} << QStringList{"-f", "rtf"};
    QTest::addRow("textGiven_plainAtTheWidth")
        << QStringList{"-f", "text", "-o", "-"} << QStringList{"-f", "text", "--columns", "25"};
}

void CliTests::terminal_getsColourTextAsWideAsItIs() {
    QFETCH(QStringList, inTerminal);
    QFETCH(QStringList, throughAFile);
    QImage image(60, 20, QImage::Format_RGB32);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 60; ++x) {
            image.setPixel(x, y, qRgb(x * 4, y * 12, 90));
        }
    }
    const QString picture = PicturePath("wide.png", image);

    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(master >= 0);
    QVERIFY(::grantpt(master) == 0 && ::unlockpt(master) == 0);
    winsize size{};
    size.ws_row = 24;
    size.ws_col = 25;
    QVERIFY(::ioctl(master, TIOCSWINSZ, &size) == 0);
    const int terminal = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    QVERIFY(terminal >= 0);
    termios raw{};
    QVERIFY(::tcgetattr(terminal, &raw) == 0);
    ::cfmakeraw(&raw); // bytes as written, no CR added before LF
    QVERIFY(::tcsetattr(terminal, TCSANOW, &raw) == 0);

    RunSetup setup;
    setup.outFd = terminal;
    const Run run = RunConvert(QStringList{picture} + inTerminal, setup);
    ::close(terminal);
    QByteArray shown;
    char buffer[4096];
    ssize_t got = 0;
    ::fcntl(master, F_SETFL, O_NONBLOCK);
    while ((got = ::read(master, buffer, sizeof buffer)) > 0) {
        shown.append(buffer, got);
    }
    ::close(master);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);

    const Run expected = RunConvert(QStringList{picture} + throughAFile);
    QCOMPARE(expected.exitCode, 0);
    QCOMPARE(shown, expected.out);
}

// --- Where the documents go -------------------------------------------------

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
    // The name is used as given: no extension is added, nothing else is left.
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList({"art.html", "photo.png"}));
    // A new file gets the permission bits new files get.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    QCOMPARE(ModeOf(output) & 0777, 0666 & ~mask);
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

void CliTests::outputExtension_choosesTheFormat_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("sameAs");
    QTest::addRow("txt_clean") << "a.txt" << QStringList{} << QStringList{"-f", "clean"};
    QTest::addRow("TXT_clean") << "a.TXT" << QStringList{} << QStringList{"-f", "clean"};
    QTest::addRow("rtf") << "a.rtf" << QStringList{} << QStringList{"-f", "rtf"};
    QTest::addRow("html") << "a.html" << QStringList{} << QStringList{"-f", "html"};
    QTest::addRow("htm") << "a.htm" << QStringList{} << QStringList{"-f", "html"};
    QTest::addRow("other_rtf") << "a.doc" << QStringList{} << QStringList{"-f", "rtf"};
    QTest::addRow("noExtension_rtf") << "art" << QStringList{} << QStringList{"-f", "rtf"};
    QTest::addRow("formatWins") << "a.html" << QStringList{"-f", "clean"}
                                << QStringList{"-f", "clean"};
    QTest::addRow("textWins") << "a.rtf" << QStringList{"-f", "text"} << QStringList{"-f", "text"};
}

void CliTests::outputExtension_choosesTheFormat() {
    QFETCH(QString, name);
    QFETCH(QStringList, args);
    QFETCH(QStringList, sameAs);
    const QString picture = PicturePath("half.png", HalfBlackPicture());
    const QString output = dir_->filePath(name);
    const Run run = RunConvert(QStringList{picture, "-o", output} + args);
    QCOMPARE(run.exitCode, 0);
    const Run expected = RunConvert(QStringList{picture} + sameAs);
    QCOMPARE(ReadAll(output), expected.out);
}

void CliTests::standardStreams_dash() {
    const QString picture = PicturePath("photo.png", PhotoLikePicture());
    const Run fromFile = RunConvert({picture, "-f", "html"});
    RunSetup setup;
    setup.input = ReadAll(picture);
    const Run fromInput = RunConvert({"-", "-f", "html", "-o", "-"}, setup);
    QCOMPARE(fromInput.err, QByteArray());
    QCOMPARE(fromInput.exitCode, 0);
    QVERIFY(fromInput.out == fromFile.out);

    // A name that only looks like an option, after "--".
    QVERIFY(QFile::copy(picture, dir_->filePath("-o")));
    const Run dashName = RunConvert({"-f", "html", "--", dir_->filePath("-o")});
    QVERIFY(dashName.out == fromFile.out);

    setup.input = "not a picture";
    const Run bad = RunConvert({"-"}, setup);
    QCOMPARE(bad.exitCode, 1);
    QVERIFY2(IsOneLine(bad.err) && bad.err.contains("standard input"), bad.err.constData());
}

void CliTests::severalPictures_data() {
    // %D is the folder; pictures one.png, sub/two.png; "-" before a name
    // marks a file that must not be there afterwards.
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("documents"); // each: path=picture it holds
    QTest::addRow("intoANewFolder")
        << QStringList{"%D/one.png", "%D/sub/two.png", "-o", "%D/out/art"} << 0
        << QStringList{"out/art/one.rtf=one.png", "out/art/two.rtf=sub/two.png"};
    QTest::addRow("intoAnExistingFolder_onePicture")
        << QStringList{"%D/one.png", "-f", "html", "-o", "%D/sub"} << 0
        << QStringList{"sub/one.html=one.png"};
    QTest::addRow("intoANewFolder_slash_onePicture")
        << QStringList{"%D/one.png", "-f", "clean", "-o", "%D/new/"} << 0
        << QStringList{"new/one.txt=one.png"};
    QTest::addRow("besideThePictures")
        << QStringList{"%D/one.png", "%D/sub/two.png", "-f", "text"} << 0
        << QStringList{"one.txt=one.png", "sub/two.txt=sub/two.png"};
    QTest::addRow("oneFails_theOthersAreWritten")
        << QStringList{"%D/one.png", "%D/missing.png", "%D/sub/two.png", "-o", "%D/out"} << 1
        << QStringList{"out/one.rtf=one.png", "out/two.rtf=sub/two.png", "-out/missing.rtf"};
    QTest::addRow("toAFile_refused")
        << QStringList{"%D/one.png", "%D/sub/two.png", "-o", "%D/file.rtf"} << 2
        << QStringList{"-one.rtf"};
    QTest::addRow("toStandardOutput_refused")
        << QStringList{"%D/one.png", "%D/sub/two.png", "-o", "-"} << 2 << QStringList{"-one.rtf"};
    QTest::addRow("sameDocumentTwice_refused")
        << QStringList{"%D/one.png", "%D/one.jpg", "-o", "%D/out"} << 2
        << QStringList{"-out/one.rtf"};
}

void CliTests::severalPictures() {
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QStringList, documents);
    QVERIFY(QDir(dir_->path()).mkpath("sub"));
    QVERIFY(!PicturePath("one.png", HalfBlackPicture()).isEmpty());
    QVERIFY(!PicturePath("sub/two.png", PhotoLikePicture()).isEmpty());
    QVERIFY(!PicturePath("one.jpg", HalfBlackPicture()).isEmpty());
    QVERIFY(WriteFile(dir_->filePath("file.rtf"), "keep"));
    for (QString& arg : args) {
        arg.replace("%D", dir_->path());
    }

    const Run run = RunConvert(args);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out, QByteArray());
    QVERIFY2(exitCode == 0 ? run.err.isEmpty() : IsOneLine(run.err), run.err.constData());
    const qsizetype f = args.indexOf("-f");
    const QStringList format = f < 0 ? QStringList() : args.mid(f, 2);
    for (const QString& document : documents) {
        if (document.startsWith('-')) {
            QVERIFY2(!QFile::exists(dir_->filePath(document.mid(1))), qPrintable(document));
            continue;
        }
        const QStringList parts = document.split('=');
        const Run alone = RunConvert(QStringList{dir_->filePath(parts[1])} + format);
        QVERIFY2(ReadAll(dir_->filePath(parts[0])) == alone.out, qPrintable(document));
    }
    QCOMPARE(ReadAll(dir_->filePath("file.rtf")), QByteArray("keep"));
}

namespace {

// The cases of an output (or a picture) that is not a plain new file.
enum class Target {
    DevNull,              // a device: written into, never replaced
    Fifo,                 // a pipe: written into
    DevFull,              // a device that is always full
    Symlink,              // the file it leads to is written, the link kept
    KeepsModeAndOwner,    // an existing file's permission bits and owner
    FileSizeLimit,        // a write that fails half-way
    InPlace,              // no new file can be made in its folder
    InPlaceFileSizeLimit, // in place, failing half-way: the old bytes back
    FileWithoutPermission,
    FolderWithoutPermission,
    PictureWithoutPermission,
    ThePictureItself,
    LinkToThePicture,
    HardLinkToThePicture,
    PictureFifo,
    PictureDevice,
};

} // namespace

void CliTests::outputTarget_safety_data() {
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("errorPart");
    QTest::addRow("devNull_writtenInto") << int(Target::DevNull) << 0 << "";
    QTest::addRow("fifo_writtenInto") << int(Target::Fifo) << 0 << "";
    QTest::addRow("devFull_diskFull") << int(Target::DevFull) << 1
                                      << "/dev/full cannot be "
                                         "written: the disk is full.";
    QTest::addRow("symlink_followedAndKept") << int(Target::Symlink) << 0 << "";
    QTest::addRow("existing_keepsModeAndOwner") << int(Target::KeepsModeAndOwner) << 0 << "";
    QTest::addRow("failsHalfWay_oldFileKept")
        << int(Target::FileSizeLimit) << 1 << "art.rtf cannot be written: the file would grow";
    QTest::addRow("folderNotWritable_fileWrittenInPlace") << int(Target::InPlace) << 0 << "";
    QTest::addRow("inPlace_failsHalfWay_oldBytesBack")
        << int(Target::InPlaceFileSizeLimit) << 1 << "art.rtf cannot be written: the file would";
    QTest::addRow("fileNotWritable_notReplaced") << int(Target::FileWithoutPermission) << 1
                                                 << "art.rtf cannot be written: permission "
                                                    "denied.";
    QTest::addRow("folderNotWritable_permissionDenied") << int(Target::FolderWithoutPermission) << 1
                                                        << "new.rtf cannot be written: permission "
                                                           "denied.";
    QTest::addRow("pictureNotReadable_permissionDenied")
        << int(Target::PictureWithoutPermission) << 1
        << "half.png cannot be read: permission "
           "denied.";
    QTest::addRow("outputIsThePicture_refused") << int(Target::ThePictureItself) << 2 << "half.png";
    QTest::addRow("outputLinksToThePicture_refused")
        << int(Target::LinkToThePicture) << 2 << "is the picture";
    QTest::addRow("outputHardLinkOfThePicture_refused")
        << int(Target::HardLinkToThePicture) << 2 << "is the picture";
    QTest::addRow("pictureIsAFifo_refusedAtOnce")
        << int(Target::PictureFifo) << 1 << "is not a regular file";
    QTest::addRow("pictureIsADevice_refused")
        << int(Target::PictureDevice) << 1 << "/dev/zero is not a regular file";
}

void CliTests::outputTarget_safety() {
    QFETCH(int, target);
    QFETCH(int, exitCode);
    QFETCH(QString, errorPart);
    const auto kind = static_cast<Target>(target);
    const QString picture = PicturePath("half.png", HalfBlackPicture());
    const QByteArray pictureBytes = ReadAll(picture);
    // Long cells make a document of some 1800 bytes.
    const QStringList options{"--black", QString(100, '#')};
    const QByteArray document = RunConvert(QStringList{picture} + options).out;
    QVERIFY(document.size() > 1000);
    const QString art = dir_->filePath("art.rtf");
    const QByteArray old = QByteArray("the old art ").repeated(20);
    QVERIFY(WriteFile(art, old));
    const auto path = [](const QString& name) { return QFile::encodeName(name); };

    QString output = art;
    QString input = picture;
    QString madeHere; // a further name the case puts into the folder
    RunSetup setup;
    QByteArray fifoRead;
    std::thread reader;
    switch (kind) {
    case Target::DevNull:
        output = "/dev/null";
        break;
    case Target::DevFull:
        output = "/dev/full";
        break;
    case Target::Fifo:
        output = madeHere = dir_->filePath("pipe");
        QVERIFY(::mkfifo(path(output).constData(), 0600) == 0);
        reader = std::thread([&fifoRead, name = path(output)] {
            const int fd = ::open(name.constData(), O_RDONLY);
            char buffer[4096];
            ssize_t got = 0;
            while (fd >= 0 && (got = ::read(fd, buffer, sizeof buffer)) > 0) {
                fifoRead.append(buffer, got);
            }
            ::close(fd);
        });
        break;
    case Target::Symlink:
        output = madeHere = dir_->filePath("link.rtf");
        QVERIFY(QFile::link("art.rtf", output));
        break;
    case Target::KeepsModeAndOwner:
        QVERIFY(::chmod(path(art).constData(), 0640) == 0);
        QVERIFY(HandToUnprivileged(art));
        break;
    case Target::FileSizeLimit:
        setup.child = ChildOptions::FileSizeLimit(1000);
        break;
    case Target::InPlace:
    case Target::InPlaceFileSizeLimit:
    case Target::FolderWithoutPermission:
        // An ordinary user (not root) in a folder it may not write to.
        setup.child = ChildOptions::Unprivileged();
        if (kind == Target::InPlaceFileSizeLimit) {
            setup.child.fileSizeLimit = 300;
        }
        QVERIFY(::chmod(path(dir_->path()).constData(), 0555) == 0);
        QVERIFY(::chmod(path(art).constData(), 0666) == 0);
        if (kind == Target::FolderWithoutPermission) {
            output = dir_->filePath("new.rtf");
        }
        break;
    case Target::FileWithoutPermission:
        // The folder is the user's, the file is not.
        setup.child = ChildOptions::Unprivileged();
        QVERIFY(HandToUnprivileged(dir_->path()));
        QVERIFY(::chmod(path(art).constData(), 0444) == 0);
        break;
    case Target::PictureWithoutPermission:
        setup.child = ChildOptions::Unprivileged();
        QVERIFY(::chmod(path(dir_->path()).constData(), 0777) == 0);
        QVERIFY(::chmod(path(picture).constData(), 0) == 0);
        break;
    case Target::ThePictureItself:
        output = picture;
        break;
    case Target::LinkToThePicture:
        output = madeHere = dir_->filePath("link.png");
        QVERIFY(QFile::link(picture, output));
        break;
    case Target::HardLinkToThePicture:
        output = madeHere = dir_->filePath("hard.png");
        QVERIFY(::link(path(picture).constData(), path(output).constData()) == 0);
        break;
    case Target::PictureFifo:
        input = madeHere = dir_->filePath("pipe.png");
        QVERIFY(::mkfifo(path(input).constData(), 0600) == 0);
        break;
    case Target::PictureDevice:
        input = "/dev/zero";
        break;
    }

    const Run run = RunConvert(QStringList{input, "-o", output} + options, setup);
    if (reader.joinable()) {
        // A reader still waiting for a writer gets one that writes nothing.
        const int nudge = ::open(path(output).constData(), O_WRONLY | O_NONBLOCK);
        if (nudge >= 0) {
            ::close(nudge);
        }
        reader.join();
    }
    ::chmod(path(dir_->path()).constData(), 0700);
    ::chmod(path(picture).constData(), 0644);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out, QByteArray());
    if (exitCode == 0) {
        QCOMPARE(run.err, QByteArray());
    } else {
        QVERIFY2(IsOneLine(run.err), run.err.constData());
        QVERIFY2(QString::fromUtf8(run.err).contains(errorPart), run.err.constData());
    }
    // Nothing is left beside the files, and the picture is untouched.
    QStringList names{"art.rtf", "half.png"};
    if (!madeHere.isEmpty()) {
        names << QFileInfo(madeHere).fileName();
    }
    names.sort();
    QCOMPARE(QDir(dir_->path())
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
             names);
    QCOMPARE(ReadAll(picture), pictureBytes);

    switch (kind) {
    case Target::DevNull:
    case Target::DevFull:
        QVERIFY(S_ISCHR(ModeOf(output)));
        QCOMPARE(ReadAll(art), old);
        break;
    case Target::Fifo:
        QVERIFY(S_ISFIFO(ModeOf(output)));
        QVERIFY(fifoRead == document);
        QCOMPARE(ReadAll(art), old);
        break;
    case Target::Symlink:
        QVERIFY(S_ISLNK(ModeOf(output)));
        QVERIFY(ReadAll(art) == document);
        break;
    case Target::KeepsModeAndOwner: {
        QVERIFY(ReadAll(art) == document);
        QCOMPARE(ModeOf(art) & 07777, mode_t(0640));
        struct stat status {};
        QVERIFY(::stat(path(art).constData(), &status) == 0);
        const auto user = glimmora::testing::UnprivilegedUser();
        QCOMPARE(status.st_uid, user ? user->first : ::getuid());
        break;
    }
    case Target::InPlace:
        QVERIFY(ReadAll(art) == document);
        break;
    case Target::FileSizeLimit:
    case Target::InPlaceFileSizeLimit:
    case Target::FileWithoutPermission:
    case Target::FolderWithoutPermission:
    case Target::PictureWithoutPermission:
    case Target::ThePictureItself:
    case Target::LinkToThePicture:
    case Target::HardLinkToThePicture:
    case Target::PictureFifo:
    case Target::PictureDevice:
        QCOMPARE(ReadAll(art), old);
        break;
    }
}

void CliTests::fileNames_areTheSystemsBytes() {
    // A Latin-1 name, not UTF-8: opened and written by its bytes.
    const QString png = PicturePath("half.png", HalfBlackPicture());
    const std::string folder = QFile::encodeName(dir_->path()).toStdString();
    const std::string picture = folder + "/caf\xe9.png";
    const std::string output = folder + "/\xe9t\xe9.txt";
    QVERIFY(::rename(QFile::encodeName(png).constData(), picture.c_str()) == 0);
    const Run run = RunConvertBytes({picture, "-o", output});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    std::FILE* written = std::fopen(output.c_str(), "rb");
    QVERIFY(written != nullptr);
    QByteArray bytes = glimmora::testing::ReadBack(written);
    std::fclose(written);
    ::unlink(picture.c_str());
    ::unlink(output.c_str());
    QCOMPARE(bytes, QByteArray("9 \r9 \r\r\n"));

    // Messages name a file by the same bytes; line breaks and control
    // characters are escaped so that a message stays one line.
    const Run latin1 = RunConvertBytes({picture});
    QCOMPARE(latin1.exitCode, 1);
    QVERIFY2(latin1.err.contains("/caf\xe9.png cannot be read: "), latin1.err.constData());
    const Run missing = RunConvertBytes({folder + "/a\nb\x01.png"});
    QCOMPARE(missing.exitCode, 1);
    QVERIFY2(IsOneLine(missing.err), missing.err.constData());
    QVERIFY2(missing.err.contains("/a\\nb\\x01.png cannot be read: no such file"),
             missing.err.constData());
}

void CliTests::outOfMemory_failsAndKeepsTheTarget() {
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("AddressSanitizer reserves more address space than the limit allows.");
#else
    // 6000 x 6000 pixels at one cell a pixel: far more than the limit leaves.
    QImage big(6000, 6000, QImage::Format_Mono);
    big.fill(1);
    const QString picture = PicturePath("big.png", big);
    const QString art = dir_->filePath("art.txt");
    QVERIFY(WriteFile(art, "keep me"));
    RunSetup setup;
    setup.beforeStart = [] {
        const rlimit limit{160 << 20, 160 << 20};
        ::setrlimit(RLIMIT_AS, &limit);
    };
    const Run run = RunConvert({picture, "-s", "1x1", "-o", art}, setup);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(IsOneLine(run.err), run.err.constData());
    QVERIFY2(run.err.contains("memory"), run.err.constData());
    QCOMPARE(ReadAll(art), QByteArray("keep me"));
#endif
}

// --- Help, version and the manual page --------------------------------------

void CliTests::help_showsUsage() {
    for (const QString& option : {QStringLiteral("--help"), QStringLiteral("-h")}) {
        const Run run = RunConvert({option});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QByteArray());
        QVERIFY(run.out.startsWith("Usage: glimmora-convert [options] PICTURE...\n"));
        for (const char* word :
             {"--output", "--format", "--scale", "--columns", "--chars", "--black", "--white",
              "--invert", "--color", "--word", "--font-face", "--font-size", "--background"}) {
            QVERIFY2(run.out.contains(word), word);
        }
        for (const QByteArray& line : run.out.split('\n')) {
            QVERIFY2(line.size() <= 79, line.constData());
        }
    }
}

void CliTests::version_showsVersion() {
    const Run run = RunConvert({"--version"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray("glimmora-convert 2.0\n"));
    QCOMPARE(run.err, QByteArray());
}

void CliTests::answer_cannotBeWritten_fails_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<bool>("closed");
    QTest::addRow("help_diskFull") << "--help" << false;
    QTest::addRow("version_diskFull") << "--version" << false;
    QTest::addRow("help_outputClosed") << "--help" << true;
}

void CliTests::answer_cannotBeWritten_fails() {
    QFETCH(QString, option);
    QFETCH(bool, closed);
    const int full = ::open("/dev/full", O_WRONLY);
    QVERIFY(full >= 0);
    RunSetup setup;
    setup.outFd = closed ? -2 : full;
    const Run run = RunConvert({option}, setup);
    ::close(full);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(IsOneLine(run.err), run.err.constData());
    QVERIFY2(run.err.contains("cannot be written"), run.err.constData());
}

void CliTests::manPage_listsWhatHelpLists() {
    QFile file(QStringLiteral(GLIMMORA_CONVERT_MANPAGE));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray page = file.readAll();
    QVERIFY(page.startsWith(".TH GLIMMORA-CONVERT 1 "));
    static const QRegularExpression option(QStringLiteral("(?<![\\w-])--?[a-z][a-z0-9-]*"));
    const QString help = QString::fromUtf8(RunConvert({"--help"}).out);
    int options = 0;
    for (const QRegularExpressionMatch& match : option.globalMatch(help)) {
        QByteArray inRoff = match.captured().toUtf8();
        inRoff.replace("-", "\\-");
        QVERIFY2(page.contains(inRoff), inRoff.constData());
        ++options;
    }
    QVERIFY(options >= 20);
}

// --- Failures ---------------------------------------------------------------

void CliTests::failure_data() {
    QTest::addColumn<QStringList>("args"); // %P: a good picture, %D: the folder
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("errorPart");

    // Wrong usage.
    QTest::addRow("unknownOption") << QStringList{"%P", "--colour", "x"} << 2 << "--colour";
    QTest::addRow("missingValue") << QStringList{"%P", "--word"} << 2 << "--word";
    QTest::addRow("valueForAFlag") << QStringList{"%P", "--invert=yes"} << 2 << "--invert";
    QTest::addRow("noPicture") << QStringList{"-f", "rtf"} << 2 << "picture";
    QTest::addRow("nothingAtAll") << QStringList{} << 2 << "picture";
    QTest::addRow("standardInputWithOthers") << QStringList{"-", "%P"} << 2 << "Standard input";
    QTest::addRow("unknownFormat") << QStringList{"%P", "-f", "pdf"} << 2 << "pdf";
    QTest::addRow("scaleZero") << QStringList{"%P", "-s", "0x3"} << 2 << "0x3";
    QTest::addRow("scaleHalfMissing") << QStringList{"%P", "-s", "3x"} << 2 << "3x";
    QTest::addRow("scaleFraction") << QStringList{"%P", "-s", "2.5x2"} << 2 << "2.5x2";
    QTest::addRow("scaleNegative") << QStringList{"%P", "-s", "-2x2"} << 2 << "-2x2";
    QTest::addRow("scaleTooLarge") << QStringList{"%P", "-s", "32768x1"} << 2 << "32768x1";
    QTest::addRow("scaleOneNumber") << QStringList{"%P", "-s", "4"} << 2 << "\"4\"";
    QTest::addRow("scaleBlanks") << QStringList{"%P", "-s", " 2x2"} << 2 << "2x2";
    QTest::addRow("columnsZero") << QStringList{"%P", "--columns", "0"} << 2 << "\"0\"";
    QTest::addRow("columnsWord") << QStringList{"%P", "--columns", "wide"} << 2 << "wide";
    QTest::addRow("charsEight") << QStringList{"%P", "--chars", "12345678"} << 2 << "has 8";
    QTest::addRow("charsTen_utf8")
        << QStringList{"%P", "--chars", QString::fromUtf8("\xc3\xa9") + "123456789"} << 2
        << "has 10";
    QTest::addRow("colourForRtf") << QStringList{"%P", "-f", "rtf", "--color"} << 2 << "--color";
    QTest::addRow("backgroundFiveDigits")
        << QStringList{"%P", "--background", "FFFFF"} << 2 << "FFFFF";
    QTest::addRow("backgroundNotHex")
        << QStringList{"%P", "--background", "GG0000"} << 2 << "GG0000";
    QTest::addRow("backgroundWithHash")
        << QStringList{"%P", "--background", "#FFFFFF"} << 2 << "#FFFFFF";
    QTest::addRow("emptyOutputName") << QStringList{"%P", "-o", ""} << 2 << "output";

    // Pictures that cannot be read.
    QTest::addRow("missingPicture")
        << QStringList{"%D/none.png"} << 1 << "none.png cannot be read: no such file";
    QTest::addRow("folder") << QStringList{"%D"} << 1 << "is a folder";
    QTest::addRow("emptyFile") << QStringList{"%D/empty.png"} << 1 << "empty.png";
    QTest::addRow("truncatedPng") << QStringList{"%D/cut.png"} << 1 << "cut.png";
    QTest::addRow("textFile") << QStringList{"%D/notes.txt"} << 1 << "notes.txt";

    // An output that cannot be written.
    QTest::addRow("outputFolderMissing") << QStringList{"%P", "-o", "%D/no/such/art.rtf"} << 1
                                         << "art.rtf cannot be written: the folder does not exist.";
    QTest::addRow("outputFolderUnderAFile")
        << QStringList{"%P", "-o", "%D/notes.txt/art/"} << 1 << "notes.txt/art/ cannot be made";
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
        QVERIFY2(IsOneLine(run.err), run.err.constData());
        QVERIFY2(QString::fromUtf8(run.err).contains(errorPart), run.err.constData());
        QCOMPARE(ReadAll(existing), QByteArray("keep me"));
    }
    QVERIFY(!QFile::exists(dir_->filePath("no")));
    const QStringList left =
        QDir(dir_->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    QCOMPARE(left, QStringList({"cut.png", "empty.png", "existing.rtf", "notes.txt", "photo.png"}));
}

QTEST_GUILESS_MAIN(CliTests)
#include "CliTests.moc"
