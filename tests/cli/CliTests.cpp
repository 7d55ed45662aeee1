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
#include "picture/Picture.h"
#include "tests/cli/RunConvert.h"
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
using glimmora::testing::WriteFile;

namespace {

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

// The engine's sign-mode art for a picture file, with LFs for its CRs: what
// -f text must write. ramp: one character a box.
QByteArray EngineText(const QString& path, int across, int down, const QString& ramp) {
    const PictureLoadResult loaded = LoadPictureFile(path);
    if (!loaded.picture || ramp.size() != 9) {
        return {};
    }
    ConversionInputs inputs;
    inputs.widthText = std::to_string(loaded.picture->Width());
    inputs.heightText = std::to_string(loaded.picture->Height());
    inputs.scaleWidthText = std::to_string(across);
    inputs.scaleHeightText = std::to_string(down);
    for (std::size_t i = 0; i < 9; ++i) {
        inputs.ramp[i] = QString(ramp[qsizetype(i)]).toStdString();
    }
    ConversionEngine engine(inputs, loaded.picture.get());
    while (engine.Step() != StepResult::Finished) {
    }
    return Bytes(engine.ArtText()).replace('\r', '\n');
}

// Coloured text line by line: each cell "ESC[38;2;R;G;Bm" and its text,
// each line ending in "ESC[0m" LF. Nothing when anything else turns up.
using ColourCell = std::pair<QRgb, QString>;
QList<QList<ColourCell>> ColourLines(const QByteArray& text) {
    static const QRegularExpression part(
        QStringLiteral("\x1b\\[38;2;(\\d+);(\\d+);(\\d+)m([^\x1b]*)|(\x1b\\[0m\n)"));
    const QString all = QString::fromUtf8(text);
    QList<QList<ColourCell>> lines{{}};
    qsizetype at = 0;
    for (const QRegularExpressionMatch& match : part.globalMatch(all)) {
        if (match.capturedStart() != at) {
            return {};
        }
        at = match.capturedEnd();
        if (match.hasCaptured(5)) {
            lines.append(QList<ColourCell>());
        } else {
            lines.last().append({qRgb(match.captured(1).toInt(), match.captured(2).toInt(),
                                      match.captured(3).toInt()),
                                 match.captured(4)});
        }
    }
    lines.removeLast();
    return at == all.size() ? lines : QList<QList<ColourCell>>();
}

bool IsOneLine(const QByteArray& err) {
    return err.startsWith("glimmora-convert: ") && err.count('\n') == 1 && err.endsWith('\n');
}

mode_t ModeOf(const QString& path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode : 0;
}

ino_t InodeOf(const QString& path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

} // namespace

class CliTests : public QObject {
    Q_OBJECT

private slots:
    void init();

    // Documents and text.
    void smallPicture_exactBytes_data();
    void smallPicture_exactBytes();
    void photoLikePicture_proposedScale_shapeAndColours_data();
    void photoLikePicture_proposedScale_shapeAndColours();
    void text_isTheEngineArt_data();
    void text_isTheEngineArt();
    void colourText_cellsInTheirPixelsColours_data();
    void colourText_cellsInTheirPixelsColours();
    void terminal_getsTextAsWideAsItIs_data();
    void terminal_getsTextAsWideAsItIs();

    // Where the documents go.
    void outputExtension_choosesTheFormat_data();
    void outputExtension_choosesTheFormat();
    void standardStreams_dash();
    void severalPictures_data();
    void severalPictures();
    void outputTarget_safety_data();
    void outputTarget_safety();
    void fileNames_areTheSystemsBytes();
    void outOfMemory_failsAndKeepsTheTarget_data();
    void outOfMemory_failsAndKeepsTheTarget();
    void endlessStandardInput_bounded_data();
    void endlessStandardInput_bounded();

    // Help, version and the manual page.
    void answer_data();
    void answer();
    void manPage_listsWhatHelpLists();

    // Failures.
    void failure_data();
    void failure();
    void ignoredOption_saidAndTheDocumentWritten_data();
    void ignoredOption_saidAndTheDocumentWritten();
    void closedStandardStream_saidWhichOne_data();
    void closedStandardStream_saidWhichOne();

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

// --- Documents and text -----------------------------------------------------

void CliTests::smallPicture_exactBytes_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");

    // 64 pixels: the first scale band. RTF, HTML and text step 1 across and
    // 2 down, clean text 4 and 4, coloured text 1 and 1.
    const QByteArray rtf =
        RtfDocument("Arial", "10", QByteArray("9999        \\par\r").repeated(4));
    QTest::addRow("noFormat_isRtfArial5") << QStringList{} << rtf << QByteArray();
    QTest::addRow("rtf") << QStringList{"-f", "rtf"} << rtf << QByteArray();
    QTest::addRow("clean_oneBlankWhite")
        << QStringList{"-f", "clean"} << QByteArray("9 \r9 \r\r\n") << QByteArray();
    QTest::addRow("html_whiteBackgroundArial5")
        << QStringList{"-f", "html"}
        << HtmlDocument("FFFFFF", "5", "Arial",
                        ("9999" + QByteArray("&nbsp;").repeated(8) + "<BR>").repeated(4))
        << QByteArray();
    QTest::addRow("htmlColor_blackBackgroundTahoma8_emptyWord")
        << QStringList{"--format", "html-color"}
        << HtmlDocument("000000", "8", "Tahoma",
                        (QByteArray("<font color=\"#000000\"></font>").repeated(4) +
                         QByteArray("<font color=\"#FFFFFF\"></font>").repeated(4) + "<BR>")
                            .repeated(8))
        << QByteArray("glimmora-convert: Without --word the cells of -f html-color have no "
                      "letters; the document shows only empty cells.\n");
    QTest::addRow("text_utf8LineFeeds")
        << QStringList{"-f", "text"} << QByteArray("9999    \n").repeated(4) << QByteArray();

    // Columns 0, 2 (black) and 4, 6 (white, two blanks each); rows 0 and 4.
    QTest::addRow("scaleGiven") << QStringList{"-s", "2x4"}
                                << RtfDocument("Arial", "10", "99    \\par\r99    \\par\r")
                                << QByteArray();
    // The word runs on across the line end: A B, then C A.
    QTest::addRow("word_runsOn")
        << QStringList{"-f", "html-color", "-s", "4x4", "--word", "ABC"}
        << HtmlDocument("000000", "8", "Tahoma",
                        "<font color=\"#000000\">A</font><font color=\"#FFFFFF\">B</font><BR>"
                        "<font color=\"#000000\">C</font><font color=\"#FFFFFF\">A</font><BR>")
        << QByteArray();
    QTest::addRow("rampOptions") << QStringList{"-f",         "clean",    "--black", "#",
                                                "--white=<>", "--color8", "unused"}
                                 << QByteArray("#<>\r#<>\r\r\n") << QByteArray();
    QTest::addRow("rampEmptied") << QStringList{"-f", "clean", "--black", ""}
                                 << QByteArray(" \r \r\r\n") << QByteArray();
    QTest::addRow("styleOptions_html")
        << QStringList{"-f",          "html",          "-s",           "4x8",   "--font-face",
                       "Courier New", "--font-size=7", "--background", "ff00aa"}
        << HtmlDocument("FF00AA", "7", "Courier New", "9&nbsp;&nbsp;<BR>") << QByteArray();
    QTest::addRow("styleOptions_rtfHalfPoints")
        << QStringList{"-s", "4x8", "--font-size", "8.5", "--font-face", "Tahoma"}
        << RtfDocument("Tahoma", "17", "9  \\par\r") << QByteArray();
    QTest::addRow("utf8Arguments_becomeWindows1252")
        << QStringList{"-f",      "clean",
                       "-s",      "4x8",
                       "--black", QString::fromUtf8("\xe2\x82\xac"),
                       "--white", QString::fromUtf8("\xc3\xa9")}
        << QByteArray("\x80\xe9\r\r\n") << QByteArray();
    // U+6F22 twice: what Windows-1252 cannot hold.
    const QString han = QString::fromUtf8("\xe6\xbc\xa2\xe6\xbc\xa2");
    QTest::addRow("questionMarks_clean_saidOnStandardError")
        << QStringList{"-f", "clean", "-s", "4x8", "--black", han} << QByteArray("?? \r\r\n")
        << QByteArray("glimmora-convert: standard output: 2 characters that Windows-1252 "
                      "cannot hold written as \"?\".\n");
    QTest::addRow("questionMarks_noneInRtf")
        << QStringList{"-s", "4x8", "--black", han}
        << RtfDocument("Arial", "10", "\\u28450?\\u28450?  \\par\r") << QByteArray();
}

void CliTests::smallPicture_exactBytes() {
    QFETCH(QStringList, args);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    // A UTF-8 name opens as it is.
    const QString picture =
        PicturePath(QString::fromUtf8("bild \xc3\xa9t\xc3\xa9.png"), HalfBlackPicture());
    const Run run = RunConvert(QStringList{picture} + args);
    QCOMPARE(run.err, err);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, out);
}

void CliTests::photoLikePicture_proposedScale_shapeAndColours_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("scale");
    QTest::addColumn<int>("across");
    QTest::addColumn<int>("down");
    QTest::addColumn<QByteArray>("lineEnd");

    // 60000 pixels: the second band's proposals, then a scale given.
    QTest::addRow("rtf_proposed2x4") << "rtf"
                                     << "" << 2 << 4 << QByteArray("\\par\r");
    QTest::addRow("clean_proposed6x6") << "clean"
                                       << "" << 6 << 6 << QByteArray("\r");
    QTest::addRow("html_proposed2x4") << "html"
                                      << "" << 2 << 4 << QByteArray("<BR>");
    QTest::addRow("htmlColor_proposed2x2") << "html-color"
                                           << "" << 2 << 2 << QByteArray("<BR>");
    QTest::addRow("htmlColor_given7x9") << "html-color"
                                        << "7x9" << 7 << 9 << QByteArray("<BR>");
}

void CliTests::photoLikePicture_proposedScale_shapeAndColours() {
    QFETCH(QString, format);
    QFETCH(QString, scale);
    QFETCH(int, across);
    QFETCH(int, down);
    QFETCH(QByteArray, lineEnd);
    const QString path = PicturePath("photo.png", PhotoLikePicture());
    QStringList args{path, "-f", format};
    if (format == "html-color") {
        args << "--word"
             << "GLIMMORA";
    }
    const Run run = RunConvert(scale.isEmpty() ? args : args + QStringList{"-s", scale});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    const int lines = (200 + down - 1) / down;
    const int cells = (300 + across - 1) / across;
    // The clean document ends in CR CR LF: one CR more than its lines.
    QCOMPARE(run.out.count(lineEnd), lines + (format == "clean" ? 1 : 0));
    if (format != "html-color") {
        return;
    }
    // Each cell has the colour of the pixel it samples and the next letter
    // of the word, which runs on across the lines.
    static const QRegularExpression cell(
        QStringLiteral("<font color=\"#([0-9A-F]{6})\">(.?)</font>"));
    int index = 0;
    for (const QRegularExpressionMatch& match : cell.globalMatch(QString::fromLatin1(run.out))) {
        const QRgb pixel = PhotoLikePixel(index % cells * across, index / cells * down);
        QCOMPARE(match.captured(1).toUInt(nullptr, 16), pixel & 0xFFFFFF);
        QCOMPARE(match.captured(2), QString(QStringLiteral("GLIMMORA")[index % 8]));
        ++index;
    }
    QCOMPARE(index, lines * cells);
}

void CliTests::text_isTheEngineArt_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("across");
    QTest::addColumn<int>("down");
    QTest::addColumn<QString>("ramp");

    const QString clean = "9=ue;:,. ";
    // 300 pixels wide: the smallest step giving at most N cells, twice it down.
    QTest::addRow("proposedAsForRtf") << QStringList{} << 2 << 4 << clean;
    QTest::addRow("columns80_step4") << QStringList{"--columns", "80"} << 4 << 8 << clean;
    QTest::addRow("columns75_step4") << QStringList{"--columns", "75"} << 4 << 8 << clean;
    QTest::addRow("columns74_step5") << QStringList{"--columns=74"} << 5 << 10 << clean;
    QTest::addRow("columns300_step1") << QStringList{"--columns", "300"} << 1 << 2 << clean;
    QTest::addRow("columns999_step1") << QStringList{"--columns", "999"} << 1 << 2 << clean;
    QTest::addRow("columns1_oneCellALine") << QStringList{"--columns", "1"} << 300 << 600 << clean;
    QTest::addRow("columns7_scaleGivesDown")
        << QStringList{"--columns", "7", "-s", "9x5"} << 43 << 5 << clean;
    QTest::addRow("scaleGiven") << QStringList{"-s", "9x5"} << 9 << 5 << clean;
    QTest::addRow("scaleGiven_capitalX") << QStringList{"-s", "9X5"} << 9 << 5 << clean;
    const QString blocks = QString::fromUtf8("@#\xe2\x96\x93\xe2\x96\x92+=-. ");
    QTest::addRow("chars_utf8") << QStringList{"-s", "6x6", "--chars", blocks} << 6 << 6 << blocks;
    QTest::addRow("chars_thenBlack_laterWins")
        << QStringList{"-s", "6x6", "--chars", "ABCDEFGHI", "--black", "Z"} << 6 << 6
        << "ZBCDEFGHI";
    QTest::addRow("black_thenChars_laterWins")
        << QStringList{"-s", "6x6", "--black", "Z", "--chars", "ABCDEFGHI"} << 6 << 6
        << "ABCDEFGHI";
    QTest::addRow("invert") << QStringList{"-s", "6x6", "--invert"} << 6 << 6 << " .,:;eu=9";
    QTest::addRow("invert_chars") << QStringList{"-s", "6x6", "--invert", "--chars", "ABCDEFGHI"}
                                  << 6 << 6 << "IHGFEDCBA";
}

void CliTests::text_isTheEngineArt() {
    QFETCH(QStringList, args);
    QFETCH(int, across);
    QFETCH(int, down);
    QFETCH(QString, ramp);
    const QString picture = PicturePath("photo.png", PhotoLikePicture());
    const Run run = RunConvert(QStringList{picture, "-f", "text"} + args);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    const QByteArray expected = EngineText(picture, across, down, ramp);
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
    QTest::addRow("word_runsOnAcrossLines") << QStringList{"--color"} << "A&<>b";
}

void CliTests::colourText_cellsInTheirPixelsColours() {
    QFETCH(QStringList, args);
    QFETCH(QString, word);
    const QString picture = PicturePath("photo.png", PhotoLikePicture());
    QStringList runArgs = QStringList{picture, "-s", "7x9"} + args;
    if (!word.isEmpty()) {
        runArgs << "--word" << word;
    }
    const Run run = RunConvert(runArgs);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    const QList<QList<ColourCell>> lines = ColourLines(run.out);
    QCOMPARE(lines.size(), (200 + 8) / 9);

    // Without colour the same run gives the signs alone.
    runArgs.removeAll("--color");
    const QList<QByteArray> plain = RunConvert(runArgs + QStringList{"-f", "text"}).out.split('\n');
    int letter = 0;
    for (int row = 0; row < lines.size(); ++row) {
        QCOMPARE(lines[row].size(), (300 + 6) / 7);
        QString text;
        for (int column = 0; column < lines[row].size(); ++column) {
            QCOMPARE(lines[row][column].first, PhotoLikePixel(column * 7, row * 9));
            text += lines[row][column].second;
            if (!word.isEmpty()) {
                QCOMPARE(lines[row][column].second, word.mid(letter++ % word.size(), 1));
            }
        }
        if (word.isEmpty()) {
            QCOMPARE(text.toUtf8(), plain.at(row));
        }
    }
}

void CliTests::terminal_getsTextAsWideAsItIs_data() {
    QTest::addColumn<QStringList>("inTerminal");
    QTest::addColumn<QStringList>("throughAFile");
    // The picture is 60 x 20 pixels, the terminal 25 x 24: cells drawn
    // 25 x 4, inside the terminal's lines less one.
    QTest::addRow("nothingGiven_cellsFittedToTheTerminal")
        << QStringList{} << QStringList{"-f", "text", "--columns", "25", "--rows", "23"};
    QTest::addRow("scaleGiven_keptForTheTerminal")
        << QStringList{"-s", "6x8"} << QStringList{"-f", "text", "--symbols", "ascii", "-s", "6x8"};
    QTest::addRow("formatGiven_theDocument")
        << QStringList{"-f", "rtf"} << QStringList{"-f", "rtf"};
    QTest::addRow("textGiven_cellsToo")
        << QStringList{"-f", "text", "-o", "-"}
        << QStringList{"-f", "text", "--rows", "23", "--columns", "25"};
}

void CliTests::terminal_getsTextAsWideAsItIs() {
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
    if (master < 0) {
        QSKIP("This system gives no pseudo-terminal.");
    }
    QVERIFY(::grantpt(master) == 0 && ::unlockpt(master) == 0);
    winsize size{};
    size.ws_row = 24;
    size.ws_col = 25;
    QVERIFY(::ioctl(master, TIOCSWINSZ, &size) == 0);
    RunSetup setup;
    setup.outFd = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    termios raw{};
    QVERIFY(::tcgetattr(setup.outFd, &raw) == 0);
    ::cfmakeraw(&raw); // bytes as written, no CR added before LF
    QVERIFY(::tcsetattr(setup.outFd, TCSANOW, &raw) == 0);
    const Run run = RunConvert(QStringList{picture} + inTerminal, setup);
    ::close(setup.outFd);
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

void CliTests::outputExtension_choosesTheFormat_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("sameAs");
    QTest::addRow("txt_clean") << "a.txt" << QStringList{} << "clean";
    QTest::addRow("TXT_clean") << "a.TXT" << QStringList{} << "clean";
    QTest::addRow("rtf") << "a.rtf" << QStringList{} << "rtf";
    QTest::addRow("html") << "a.html" << QStringList{} << "html";
    QTest::addRow("htm") << "a.htm" << QStringList{} << "html";
    QTest::addRow("other_rtf") << "a.doc" << QStringList{} << "rtf";
    QTest::addRow("noExtension_rtf") << "art" << QStringList{} << "rtf";
    QTest::addRow("longestName") << QString(251, 'a') + ".txt" << QStringList{} << "clean";
    QTest::addRow("formatWins") << "a.html" << QStringList{"-f", "clean"} << "clean";
    QTest::addRow("textWins") << "a.rtf" << QStringList{"-f", "text"} << "text";
}

void CliTests::outputExtension_choosesTheFormat() {
    QFETCH(QString, name);
    QFETCH(QStringList, args);
    QFETCH(QString, sameAs);
    const QString picture = PicturePath("photo.png", PhotoLikePicture());
    const Run run = RunConvert(QStringList{picture, "-o", dir_->filePath(name)} + args);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out + run.err, QByteArray());
    const Run expected = RunConvert({picture, "-f", sameAs});
    QVERIFY(ReadAll(dir_->filePath(name)) == expected.out);
    // The name is used as given: no extension is added, nothing else is left.
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList({name, "photo.png"}));
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
    // In the folder %D: pictures one.png, one.jpg, sub/two.png and a file
    // file.rtf. Documents: "name=picture it is made of", or "-name" for one
    // that must not be there.
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("documents");
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
    QTest::addRow("sameDocumentTwice_spelledApart_refused")
        << QStringList{"%D/one.png", "%D/sub/../one.jpg"} << 2 << QStringList{"-one.rtf"};
    // sub/two.rtf is a link to one.rtf, which does not exist yet.
    QTest::addRow("sameDocumentTwice_throughALink_refused")
        << QStringList{"%D/one.png", "%D/sub/two.png"} << 2 << QStringList{"-one.rtf"};
    QTest::addRow("pictureFails_noFolderMade")
        << QStringList{"%D/missing.png", "-o", "%D/new/deep/"} << 1 << QStringList{"-new"};
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
    QVERIFY(QFile::link("../one.rtf", dir_->filePath("sub/two.rtf")));
    args.replaceInStrings("%D", dir_->path());

    const Run run = RunConvert(args);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out, QByteArray());
    QVERIFY2(exitCode == 0 ? run.err.isEmpty() : IsOneLine(run.err), run.err.constData());
    const qsizetype f = args.indexOf("-f");
    const QStringList format = f < 0 ? QStringList() : args.mid(f, 2);
    for (const QString& document : documents) {
        const QStringList parts = document.split('=');
        if (document.startsWith('-')) {
            QVERIFY2(!QFile::exists(dir_->filePath(document.mid(1))), qPrintable(document));
        } else {
            const Run alone = RunConvert(QStringList{dir_->filePath(parts[1])} + format);
            QVERIFY2(ReadAll(dir_->filePath(parts[0])) == alone.out, qPrintable(document));
        }
    }
    QCOMPARE(ReadAll(dir_->filePath("file.rtf")), QByteArray("keep"));
}

namespace {

// The cases of an output (or a picture) that is not a plain new file.
enum class Target {
    NewFile,              // the permission bits new files get
    DevNull,              // a device: written into, never replaced
    Fifo,                 // a pipe: written into
    DevFull,              // a device that is always full
    Symlink,              // the file it leads to is written, the link kept
    KeepsModeAndOwner,    // an existing file's permission bits and owner
    FileSizeLimit,        // a write that fails half-way
    InPlace,              // no new file can be made in its folder
    InPlaceFileSizeLimit, // in place, failing half-way: the old bytes back
    StickyFolder,         // another user's writable file in a folder like /tmp
    FileWithoutPermission,
    FolderWithoutPermission,
    PictureWithoutPermission,
    ThePictureItself,
    LinkToThePicture,
    HardLinkToThePicture,
    PictureFifo,
    PictureDevice,
    DevStdoutAppendedTo,        // -o /dev/stdout >> art.rtf
    ProcSelfFdWrittenInto,      // -o /proc/self/fd/1 > art.rtf
    StandardOutputIsThePicture, // 1<> half.png
};

} // namespace

void CliTests::outputTarget_safety_data() {
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("error"); // a part of it
    const auto row = [](const char* name, Target target, int exitCode, const char* error) {
        QTest::addRow("%s", name) << int(target) << exitCode << QString(error);
    };
    row("newFile_usualPermissions", Target::NewFile, 0, "");
    row("devNull_writtenInto", Target::DevNull, 0, "");
    row("fifo_writtenInto", Target::Fifo, 0, "");
    row("devFull_diskFull", Target::DevFull, 1, "/dev/full cannot be written: the disk is full.");
    row("symlink_followedAndKept", Target::Symlink, 0, "");
    row("existing_keepsModeAndOwner", Target::KeepsModeAndOwner, 0, "");
    row("failsHalfWay_oldFileKept", Target::FileSizeLimit, 1,
        "art.rtf cannot be written: the file would grow");
    row("folderNotWritable_fileWrittenInPlace", Target::InPlace, 0, "");
    row("inPlace_failsHalfWay_oldBytesBack", Target::InPlaceFileSizeLimit, 1,
        "art.rtf cannot be written: the file would grow");
    row("stickyFolder_othersFileWrittenInPlace", Target::StickyFolder, 0, "");
    row("fileNotWritable_notReplaced", Target::FileWithoutPermission, 1,
        "art.rtf cannot be written: permission denied.");
    row("folderNotWritable_permissionDenied", Target::FolderWithoutPermission, 1,
        "new.rtf cannot be written: permission denied.");
    row("pictureNotReadable_permissionDenied", Target::PictureWithoutPermission, 1,
        "half.png cannot be read: permission denied.");
    row("outputIsThePicture_refused", Target::ThePictureItself, 2, "half.png");
    row("outputLinksToThePicture_refused", Target::LinkToThePicture, 2, "is the picture");
    row("outputHardLinkOfThePicture_refused", Target::HardLinkToThePicture, 2, "is the picture");
    row("pictureIsAFifo_refusedAtOnce", Target::PictureFifo, 1, "is not a regular file");
    row("pictureIsADevice_refused", Target::PictureDevice, 1, "/dev/zero is not a regular file");
    row("devStdout_appendedTo", Target::DevStdoutAppendedTo, 0, "");
    row("procSelfFd_writtenInto", Target::ProcSelfFdWrittenInto, 0, "");
    row("standardOutputIsThePicture_refused", Target::StandardOutputIsThePicture, 2,
        "Standard output is the picture");
}

void CliTests::outputTarget_safety() {
    QFETCH(int, target);
    QFETCH(int, exitCode);
    QFETCH(QString, error);
    const auto kind = static_cast<Target>(target);
    const auto path = [](const QString& name) { return QFile::encodeName(name); };
    const QString picture = PicturePath("half.png", HalfBlackPicture());
    const QByteArray pictureBytes = ReadAll(picture);
    // Long cells make a document of some 1800 bytes; the old file in place
    // is longer, so it must be cut.
    const QStringList options{"--black", QString(100, '#')};
    const QByteArray document = RunConvert(QStringList{picture} + options).out;
    QVERIFY(document.size() > 1000);
    const QString art = dir_->filePath("art.rtf");
    const QByteArray old = QByteArray("the old art ").repeated(kind == Target::InPlace ? 500 : 20);
    QVERIFY(WriteFile(art, old));

    QString output = art;
    QString input = picture;
    QString madeHere; // a further name the case puts into the folder
    RunSetup setup;
    QByteArray fifoRead;
    std::thread reader;
    switch (kind) {
    case Target::NewFile:
        output = madeHere = dir_->filePath("new.rtf");
        break;
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
        QVERIFY(::chmod(path(art).constData(), 0640) == 0 && HandToUnprivileged(art));
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
    case Target::StickyFolder:
        // Anyone may make files in the folder, but only a file's owner may
        // replace it; the file is not the child's own when the suite runs as
        // root.
        setup.child = ChildOptions::Unprivileged();
        QVERIFY(::chmod(path(dir_->path()).constData(), 01777) == 0);
        QVERIFY(::chmod(path(art).constData(), 0666) == 0);
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
    case Target::DevStdoutAppendedTo:
        output = "/dev/stdout";
        setup.outFd = ::open(path(art).constData(), O_WRONLY | O_APPEND);
        break;
    case Target::ProcSelfFdWrittenInto:
        output = "/proc/self/fd/1";
        setup.outFd = ::open(path(art).constData(), O_WRONLY | O_TRUNC);
        break;
    case Target::StandardOutputIsThePicture:
        output = "-";
        setup.outFd = ::open(path(picture).constData(), O_RDWR);
        break;
    }

    const ino_t oldFile = InodeOf(art);
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
    if (setup.outFd >= 0) {
        ::close(setup.outFd);
    }
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out, QByteArray());
    QVERIFY2(exitCode == 0 ? run.err.isEmpty() : IsOneLine(run.err), run.err.constData());
    QVERIFY2(QString::fromUtf8(run.err).contains(error), run.err.constData());
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

    const bool written = kind == Target::Symlink || kind == Target::KeepsModeAndOwner ||
                         kind == Target::InPlace || kind == Target::StickyFolder ||
                         kind == Target::ProcSelfFdWrittenInto;
    const bool appended = kind == Target::DevStdoutAppendedTo;
    QVERIFY(ReadAll(art) == (written ? document : appended ? old + document : old));
    if (appended || kind == Target::ProcSelfFdWrittenInto) {
        QCOMPARE(InodeOf(art), oldFile); // written into, not replaced
    }
    const mode_t mode = ModeOf(output);
    if (kind == Target::NewFile) {
        QVERIFY(ReadAll(output) == document);
        const mode_t mask = ::umask(0);
        ::umask(mask);
        QCOMPARE(mode & 0777, 0666 & ~mask);
    } else if (kind == Target::DevNull || kind == Target::DevFull) {
        QVERIFY(S_ISCHR(mode));
    } else if (kind == Target::Fifo) {
        QVERIFY(S_ISFIFO(mode) && fifoRead == document);
    } else if (kind == Target::Symlink) {
        QVERIFY(S_ISLNK(mode));
    } else if (kind == Target::StickyFolder && glimmora::testing::UnprivilegedUser()) {
        QCOMPARE(InodeOf(art), oldFile); // written in place, not replaced
    } else if (kind == Target::KeepsModeAndOwner) {
        QCOMPARE(mode & 07777, mode_t(0640));
        struct stat status {};
        QVERIFY(::stat(path(art).constData(), &status) == 0);
        const auto user = glimmora::testing::UnprivilegedUser();
        QCOMPARE(status.st_uid, user ? user->first : ::getuid());
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
    const QByteArray bytes = glimmora::testing::ReadBack(written);
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

void CliTests::outOfMemory_failsAndKeepsTheTarget_data() {
    QTest::addColumn<QImage>("image");
    QTest::addColumn<QStringList>("args");
    // 6000 x 6000 pixels at one cell a pixel: the samples alone are far more
    // than the limit leaves, so the decode fails before the target is opened.
    QImage big(6000, 6000, QImage::Format_Mono);
    big.fill(1);
    QTest::addRow("duringTheDecode") << big << QStringList{"-s", "1x1"};
    // A small picture decodes, the target is opened, then a line of 2000
    // black signs of 100,000 bytes each outgrows the limit as it is written.
    QImage black(2000, 1, QImage::Format_Mono);
    black.fill(0);
    QTest::addRow("afterTheTargetIsOpened")
        << black
        << QStringList{"-s", "1x1", "-f", "text", "--color", "--black", QString(100000, 'Z')};
}

void CliTests::outOfMemory_failsAndKeepsTheTarget() {
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("AddressSanitizer reserves more address space than the limit allows.");
#else
    QFETCH(QImage, image);
    QFETCH(QStringList, args);
    const QString picture = PicturePath("big.png", image);
    const QString art = dir_->filePath("art.txt");
    QVERIFY(WriteFile(art, "keep me"));
    RunSetup setup;
    setup.beforeStart = [] {
        const rlimit limit{160 << 20, 160 << 20};
        ::setrlimit(RLIMIT_AS, &limit);
    };
    if (RunConvert({PicturePath("half.png", HalfBlackPicture())}, setup).exitCode != 0) {
        QSKIP("The converter needs more than the limit here even for a small picture.");
    }
    const Run run = RunConvert(QStringList{picture} + args + QStringList{"-o", art}, setup);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(IsOneLine(run.err) && run.err.contains("memory"), run.err.constData());
    QCOMPARE(ReadAll(art), QByteArray("keep me"));
    // Nothing half-made is left beside the target.
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList({"art.txt", "big.png", "half.png"}));
#endif
}

void CliTests::endlessStandardInput_bounded_data() {
    QTest::addColumn<qint64>("memoryLimit");
    QTest::addColumn<QByteArray>("err");
    QTest::addRow("withinTheMemory_overTheBudget")
        << qint64(2) * 1024 * 1024 * 1024
        << QByteArray("Standard input is longer than the 1024 MiB a picture may take.");
    QTest::addRow("memoryEndsFirst")
        << qint64(160) * 1024 * 1024
        << QByteArray("There is not enough memory to read standard input.");
}

void CliTests::endlessStandardInput_bounded() {
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("AddressSanitizer reserves more address space than the limit allows.");
#else
    QFETCH(qint64, memoryLimit);
    QFETCH(QByteArray, err);
    const QString art = dir_->filePath("art.txt");
    QVERIFY(WriteFile(art, "keep me"));
    RunSetup setup;
    setup.beforeStart = [memoryLimit] {
        const rlimit limit{rlim_t(memoryLimit), rlim_t(memoryLimit)};
        ::setrlimit(RLIMIT_AS, &limit);
        ::dup2(::open("/dev/zero", O_RDONLY), STDIN_FILENO);
    };
    const Run run = RunConvert({"-", "-o", art}, setup);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, "glimmora-convert: " + err + "\n");
    QCOMPARE(ReadAll(art), QByteArray("keep me"));
#endif
}

// --- Help, version and the manual page --------------------------------------

void CliTests::answer_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<int>("outFd"); // -1 a file, -2 closed, 1 /dev/full
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("start");
    QTest::addRow("help") << "--help" << -1 << 0
                          << QByteArray("Usage: glimmora-convert [options] PICTURE...\n");
    QTest::addRow("help_short") << "-h" << -1 << 0 << QByteArray("Usage: ");
    QTest::addRow("version") << "--version" << -1 << 0 << QByteArray("glimmora-convert 2.0\n");
    QTest::addRow("help_diskFull") << "--help" << 1 << 1 << QByteArray();
    QTest::addRow("version_diskFull") << "--version" << 1 << 1 << QByteArray();
    QTest::addRow("help_outputClosed") << "--help" << -2 << 1 << QByteArray();
}

void CliTests::answer() {
    QFETCH(QString, option);
    QFETCH(int, outFd);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, start);
    const int full = ::open("/dev/full", O_WRONLY);
    QVERIFY(full >= 0);
    RunSetup setup;
    setup.outFd = outFd == 1 ? full : outFd;
    const Run run = RunConvert({option}, setup);
    ::close(full);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY(run.out.startsWith(start));
    if (option == "--version") {
        QCOMPARE(run.out, start);
    }
    for (const QByteArray& line : run.out.split('\n')) {
        QVERIFY2(line.size() <= 79, line.constData());
    }
    // A text that cannot be written is a failure, said in one line.
    QVERIFY2(exitCode == 0 ? run.err.isEmpty()
                           : IsOneLine(run.err) && run.err.contains("cannot be written"),
             run.err.constData());
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
        const QByteArray inRoff = match.captured().toUtf8().replace("-", "\\-");
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
    QTest::addRow("backgroundFiveDigits")
        << QStringList{"%P", "--background", "FFFFF"} << 2 << "FFFFF";
    QTest::addRow("backgroundNotHex")
        << QStringList{"%P", "--background", "GG0000"} << 2 << "GG0000";
    QTest::addRow("backgroundWithHash")
        << QStringList{"%P", "--background", "#FFFFFF"} << 2 << "#FFFFFF";
    QTest::addRow("emptyOutputName") << QStringList{"%P", "-o", ""} << 2 << "output";
    // Values are shown as names are: no control character reaches the
    // terminal, none breaks the line.
    QTest::addRow("valueWithLineBreak_escaped")
        << QStringList{"%P", "--chars", "a\nbcdefghi"} << 2 << "\"a\\nbcdefghi\" has 10";
    QTest::addRow("optionWithEscapeSequence_escaped")
        << QStringList{"%P", "--bogus=\x1b]0;title\x07"} << 2 << "\"--bogus=\\x1B]0;title\\x07\"";
    QTest::addRow("nameWithC1Control_escaped")
        << QStringList{"%D/x\u009by.png"} << 1 << "x\\xC2\\x9By.png cannot be read";

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
    args.replaceInStrings("%P", picture).replaceInStrings("%D", dir_->path());

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

void CliTests::ignoredOption_saidAndTheDocumentWritten_data() {
    // Every option a format does not use is said to be ignored, and the
    // document is the one without it.
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("without");
    QTest::addColumn<QByteArray>("err");
    const QByteArray prefix = "glimmora-convert: ";
    QTest::addRow("colourForRtf") << QStringList{"-f", "rtf", "--color"} << QStringList{"-f", "rtf"}
                                  << prefix + "--color is not used by -f rtf; it is ignored.\n";
    QTest::addRow("wordAndBackgroundForRtf")
        << QStringList{"-f", "rtf", "--word", "AB", "--background", "FF0000"}
        << QStringList{"-f", "rtf"}
        << prefix + "--word is not used by -f rtf; it is ignored.\n" + prefix +
               "--background is not used by -f rtf; it is ignored.\n";
    QTest::addRow("fontForClean_fromTheName")
        << QStringList{"-o", "%D/art.txt", "--font-face", "Arial", "--font-size", "9"}
        << QStringList{"-o", "%D/art.txt"}
        << prefix + "--font-face is not used by -f clean; it is ignored.\n" + prefix +
               "--font-size is not used by -f clean; it is ignored.\n";
    QTest::addRow("htmlColorWithoutWord_emptyCellsSaid")
        << QStringList{"-f", "html-color"} << QStringList{"-f", "html-color"}
        << prefix + "Without --word the cells of -f html-color have no letters; the document "
                    "shows only empty cells.\n";
}

void CliTests::ignoredOption_saidAndTheDocumentWritten() {
    QFETCH(QStringList, args);
    QFETCH(QStringList, without);
    QFETCH(QByteArray, err);
    const QString picture = PicturePath("half.png", HalfBlackPicture());
    const QString written = dir_->filePath("art.txt");
    const Run run = RunConvert(QStringList{picture} + args.replaceInStrings("%D", dir_->path()));
    const QByteArray document = without.contains("-o") ? ReadAll(written) : run.out;
    QFile::remove(written);
    const Run plain =
        RunConvert(QStringList{picture} + without.replaceInStrings("%D", dir_->path()));
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, err);
    QVERIFY(!document.isEmpty());
    QVERIFY(document == (without.contains("-o") ? ReadAll(written) : plain.out));
}

void CliTests::closedStandardStream_saidWhichOne_data() {
    QTest::addColumn<int>("closed");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("err");
    QTest::addRow("input") << STDIN_FILENO << QStringList{"-", "-o", "%D/art.rtf"}
                           << QByteArray("Standard input cannot be read: it is closed.");
    QTest::addRow("output") << STDOUT_FILENO << QStringList{"%P", "-f", "clean"}
                            << QByteArray("standard output cannot be written: it is closed.");
}

void CliTests::closedStandardStream_saidWhichOne() {
    QFETCH(int, closed);
    QFETCH(QStringList, args);
    QFETCH(QByteArray, err);
    RunSetup setup;
    setup.beforeStart = [closed] { ::close(closed); };
    const QString picture = PicturePath("half.png", HalfBlackPicture());
    const Run run = RunConvert(
        args.replaceInStrings("%P", picture).replaceInStrings("%D", dir_->path()), setup);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, "glimmora-convert: " + err + "\n");
    QVERIFY(!QFile::exists(dir_->filePath("art.rtf")));
}

QTEST_GUILESS_MAIN(CliTests)
#include "CliTests.moc"
