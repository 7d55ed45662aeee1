#include <QTest>

#include <QString>
#include <QVector>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "CoreTests.h"
#include "core/Colour.h"
#include "core/ConversionJob.h"
#include "core/Numbers.h"

using namespace glimmora;

namespace {

constexpr Colour kBlack = 0x000000;
constexpr Colour kWhite = 0xFFFFFF;

ConversionInputs Inputs(const char* width, const char* height, const char* scaleWidth,
                        const char* scaleHeight) {
    // Built from temporaries: GCC 12 warns wrongly about assigning a char
    // pointer to a string here (-Wrestrict) in optimised builds.
    ConversionInputs inputs;
    inputs.widthText = std::string(width);
    inputs.heightText = std::string(height);
    inputs.scaleWidthText = std::string(scaleWidth);
    inputs.scaleHeightText = std::string(scaleHeight);
    return inputs;
}

ConversionInputs Coloured(ConversionInputs inputs, const std::string& word) {
    inputs.coloured = true;
    inputs.word = word;
    return inputs;
}

// A ramp whose boxes show their own number, so the art names the band.
std::array<std::string, 9> NumberedRamp() {
    return {"0", "1", "2", "3", "4", "5", "6", "7", "8"};
}

// Steps until the finish (or until a step limit, so a broken engine fails
// instead of hanging) and returns what each step reported.
std::vector<StepResult> RunToEnd(ConversionEngine& engine, int limit = 10'000'000) {
    std::vector<StepResult> results;
    while (static_cast<int>(results.size()) < limit) {
        results.push_back(engine.Step());
        if (results.back() == StepResult::Finished) {
            break;
        }
    }
    return results;
}

QByteArray Art(const ConversionEngine& engine) {
    return QByteArray::fromStdString(engine.ArtText());
}

std::string Cell(Colour colour, const std::string& letter) {
    return "<font color=\"#" + ColorToHex(colour) + "\">" + letter + "</font>";
}

// Colour that tells where it was sampled: red x + 1, green y + 1.
Colour Where(int x, int y) {
    return (x + 1) | ((y + 1) << 8);
}

PixelBuffer WherePicture(int width, int height) {
    PixelBuffer picture(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.SetPixel(x, y, Where(x, y));
        }
    }
    return picture;
}

int CountOf(const std::vector<StepResult>& results, StepResult wanted) {
    return static_cast<int>(std::count(results.begin(), results.end(), wanted));
}

// The conversion written out plainly, line by line, from the public colour
// and band functions: what the engine's buffered one-cell steps must add up
// to.
std::string PlainConversion(const ConversionInputs& inputs, const PixelSource& picture) {
    const int width = ReadWholeNumber(inputs.widthText);
    const int height = ReadWholeNumber(inputs.heightText);
    const int scaleWidth = ReadWholeNumber(inputs.scaleWidthText);
    const int scaleHeight = ReadWholeNumber(inputs.scaleHeightText);
    std::vector<std::string> letters;
    for (const uint code : QString::fromStdString(inputs.word).toUcs4()) {
        letters.push_back(
            QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1).toUtf8().toStdString());
    }
    std::string art;
    std::size_t cell = 0;
    for (int row = 0;; ++row) {
        for (int column = 0;; ++column) {
            const Colour colour = picture.GetPixel(column * scaleWidth, row * scaleHeight);
            if (inputs.coloured) {
                art += Cell(colour, letters.empty() ? "" : letters[cell % letters.size()]);
            } else {
                art += inputs.ramp[static_cast<std::size_t>(RampIndexForGrey(GrayScale(colour)))];
            }
            ++cell;
            if ((column + 1) * scaleWidth >= width) {
                break;
            }
        }
        art += '\r';
        if ((row + 1) * scaleHeight >= height) {
            break;
        }
    }
    return art;
}

} // namespace

void CoreTests::onePixelPicture() {
    const PixelBuffer picture(1, 1, kBlack);
    ConversionEngine engine(Inputs("1", "1", "1", "1"), &picture);
    QCOMPARE(engine.Step(), StepResult::Finished);
    QCOMPARE(Art(engine), QByteArray("9\r"));
    QVERIFY(engine.IsFinished());
    QCOMPARE(engine.CellRow(), 1);
    QCOMPARE(engine.CellColumn(), 0);
    QCOMPARE(int(engine.CurrentLine()), 1);
}

void CoreTests::halfDarkPicture() {
    PixelBuffer picture(4, 2, kWhite);
    for (int y = 0; y < 2; ++y) {
        picture.SetPixel(0, y, kBlack);
        picture.SetPixel(1, y, kBlack);
    }
    ConversionEngine engine(Inputs("4", "2", "2", "1"), &picture);
    const std::vector<StepResult> results = RunToEnd(engine);
    const std::vector<StepResult> expected = {StepResult::Cell, StepResult::LineEnd,
                                              StepResult::Cell, StepResult::Finished};
    QVERIFY(results == expected);
    QCOMPARE(Art(engine), QByteArray("9  \r9  \r"));
}

void CoreTests::sampledColumnsAndRows_data() {
    QTest::addColumn<int>("pictureWidth");
    QTest::addColumn<int>("pictureHeight");
    QTest::addColumn<int>("scaleWidth");
    QTest::addColumn<int>("scaleHeight");
    QTest::addColumn<QVector<int>>("columns");
    QTest::addColumn<QVector<int>>("rows");
    QTest::addRow("width10_scale3_columns0369")
        << 10 << 1 << 3 << 1 << QVector<int>{0, 3, 6, 9} << QVector<int>{0};
    QTest::addRow("height10_scale4_rows048")
        << 1 << 10 << 1 << 4 << QVector<int>{0} << QVector<int>{0, 4, 8};
    QTest::addRow("width5_scale2_threeCells")
        << 5 << 5 << 2 << 2 << QVector<int>{0, 2, 4} << QVector<int>{0, 2, 4};
    QTest::addRow("scale1_everyPixel")
        << 3 << 2 << 1 << 1 << QVector<int>{0, 1, 2} << QVector<int>{0, 1};
    QTest::addRow("scaleBeyondPicture_firstPixelOnly")
        << 4 << 4 << 9 << 9 << QVector<int>{0} << QVector<int>{0};
}

void CoreTests::sampledColumnsAndRows() {
    QFETCH(int, pictureWidth);
    QFETCH(int, pictureHeight);
    QFETCH(int, scaleWidth);
    QFETCH(int, scaleHeight);
    QFETCH(QVector<int>, columns);
    QFETCH(QVector<int>, rows);
    const PixelBuffer picture = WherePicture(pictureWidth, pictureHeight);
    const std::string w = std::to_string(pictureWidth);
    const std::string h = std::to_string(pictureHeight);
    const std::string sw = std::to_string(scaleWidth);
    const std::string sh = std::to_string(scaleHeight);
    ConversionEngine engine(Coloured(Inputs(w.c_str(), h.c_str(), sw.c_str(), sh.c_str()), ""),
                            &picture);
    RunToEnd(engine);
    std::string expected;
    for (const int y : rows) {
        for (const int x : columns) {
            expected += Cell(Where(x, y), "");
        }
        expected += '\r';
    }
    QCOMPARE(Art(engine), QByteArray::fromStdString(expected));
}

void CoreTests::lastLineOvershootsHeight() {
    const PixelBuffer picture(1, 100, kBlack);
    ConversionEngine engine(Inputs("1", "100", "1", "3"), &picture);
    std::vector<int> linesAtLineEnds;
    StepResult result = StepResult::Cell;
    for (int step = 0; step < 1000 && result != StepResult::Finished; ++step) {
        result = engine.Step();
        linesAtLineEnds.push_back(engine.CurrentLine());
    }
    QCOMPARE(result, StepResult::Finished);
    QCOMPARE(int(linesAtLineEnds.size()), 34);
    QCOMPARE(linesAtLineEnds[32], 99); // 33rd line end: 99 of 100
    QCOMPARE(linesAtLineEnds[33], 102);
    QCOMPARE(engine.CellRow(), 34);
    QCOMPARE(Art(engine), QByteArray("9\r").repeated(34));
}

void CoreTests::widthZeroGivesOneCellLines() {
    const PixelBuffer picture = WherePicture(3, 2);
    ConversionEngine engine(Coloured(Inputs("0", "2", "1", "1"), "ab"), &picture);
    const std::vector<StepResult> results = RunToEnd(engine);
    QCOMPARE(int(results.size()), 2);
    QCOMPARE(Art(engine), QByteArray::fromStdString(Cell(Where(0, 0), "a") + "\r" +
                                                    Cell(Where(0, 1), "b") + "\r"));
    QCOMPARE(engine.ExpectedCellsPerLine(), 1);
}

void CoreTests::heightZeroGivesOneLine() {
    const PixelBuffer picture(3, 2, kBlack);
    for (const char* height : {"0", "", "abc", "-4"}) {
        ConversionEngine engine(Inputs("3", height, "1", "1"), &picture);
        const std::vector<StepResult> results = RunToEnd(engine);
        QCOMPARE(int(results.size()), 3);
        QCOMPARE(Art(engine), QByteArray("999\r"));
        QCOMPARE(engine.ExpectedLines(), 1);
    }
}

void CoreTests::emptyRampBoxVanishes() {
    PixelBuffer picture(3, 2, kWhite);
    picture.SetPixel(0, 0, kBlack);
    picture.SetPixel(2, 0, kBlack);
    ConversionInputs inputs = Inputs("3", "2", "1", "1");
    inputs.ramp[0] = "";
    ConversionEngine engine(inputs, &picture);
    RunToEnd(engine);
    QCOMPARE(Art(engine), QByteArray("  \r      \r"));
}

void CoreTests::longRampTexts() {
    // Boxes longer than a few characters, and letters outside ASCII, are
    // taken whole.
    PixelBuffer picture(3, 1, kWhite);
    picture.SetPixel(1, 0, kBlack);
    ConversionInputs inputs = Inputs("3", "1", "1", "1");
    inputs.ramp[0] = "<dark and very long box text of forty-two>";
    inputs.ramp[8] = "\xC3\xA9\xE2\x82\xAC"; // é€
    ConversionEngine engine(inputs, &picture);
    RunToEnd(engine);
    QCOMPARE(Art(engine), QByteArray("\xC3\xA9\xE2\x82\xAC<dark and very long box text of "
                                     "forty-two>\xC3\xA9\xE2\x82\xAC\r"));
}

void CoreTests::bandOfPixel_data() {
    QTest::addColumn<int>("colour");
    QTest::addColumn<QByteArray>("box");
    // Grey pixels of level v give grey level v x 1.03, rounded.
    QTest::addRow("pixel28_level29_black") << 0x1C1C1C << QByteArray("0");
    QTest::addRow("pixel29_level30_color2") << 0x1D1D1D << QByteArray("1");
    QTest::addRow("pixel53_level55_color3") << 0x353535 << QByteArray("2");
    QTest::addRow("pixel54_level56_color4") << 0x363636 << QByteArray("3");
    QTest::addRow("pixel188_level194_color8") << 0xBCBCBC << QByteArray("7");
    QTest::addRow("pixel189_level195_white") << 0xBDBDBD << QByteArray("8");
    QTest::addRow("pixel248_white") << 0xF8F8F8 << QByteArray("8");
    QTest::addRow("pureBlue_level28_black") << 0xFF0000 << QByteArray("0");
    QTest::addRow("pureGreen_level150_color8") << 0x00FF00 << QByteArray("7");
    QTest::addRow("sum29.5_toEven30_color2") << (1 | (6 << 8) | (233 << 16)) << QByteArray("1");
    QTest::addRow("invalid_black") << -1 << QByteArray("0");
}

void CoreTests::bandOfPixel() {
    QFETCH(int, colour);
    QFETCH(QByteArray, box);
    const PixelBuffer picture(1, 1, colour);
    ConversionInputs inputs = Inputs("1", "1", "1", "1");
    inputs.ramp = NumberedRamp();
    ConversionEngine engine(inputs, &picture);
    RunToEnd(engine);
    QCOMPARE(Art(engine), box + "\r");
}

void CoreTests::wordRunsOnAcrossLines() {
    const PixelBuffer picture(3, 2, kBlack);
    ConversionEngine engine(Coloured(Inputs("3", "2", "1", "1"), "ab"), &picture);
    const QVector<int> expectedIndex = {1, 0, 1, 0, 1, 0};
    for (int step = 0; step < 5; ++step) {
        engine.Step();
        QCOMPARE(int(engine.LetterIndex()), expectedIndex[step]);
    }
    QCOMPARE(engine.Step(), StepResult::Finished);
    QCOMPARE(int(engine.LetterIndex()), 0);
    const std::string a = Cell(kBlack, "a");
    const std::string b = Cell(kBlack, "b");
    QCOMPARE(Art(engine), QByteArray::fromStdString(a + b + a + "\r" + b + a + b + "\r"));
}

void CoreTests::oneLetterWord() {
    const PixelBuffer picture(2, 2, kWhite);
    ConversionEngine engine(Coloured(Inputs("2", "2", "1", "1"), "x"), &picture);
    RunToEnd(engine);
    const std::string x = Cell(kWhite, "x");
    QCOMPARE(Art(engine), QByteArray::fromStdString(x + x + "\r" + x + x + "\r"));
}

void CoreTests::emptyWordCarriesNoLetter() {
    const PixelBuffer picture(2, 1, 0x123456);
    ConversionEngine engine(Coloured(Inputs("2", "1", "1", "1"), ""), &picture);
    engine.Step();
    QCOMPARE(int(engine.LetterIndex()), 1); // never matches the empty length
    RunToEnd(engine);
    QCOMPARE(Art(engine),
             QByteArray("<font color=\"#563412\"></font><font color=\"#563412\"></font>\r"));
    QCOMPARE(int(engine.LetterIndex()), 0);
}

void CoreTests::multiByteLetters() {
    // é (2 bytes), € (3 bytes), 😀 (4 bytes): each is one letter.
    const std::string word = "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    const PixelBuffer picture(2, 2, kBlack);
    ConversionEngine engine(Coloured(Inputs("2", "2", "1", "1"), word), &picture);
    RunToEnd(engine);
    const std::string expected = Cell(kBlack, "\xC3\xA9") + Cell(kBlack, "\xE2\x82\xAC") + "\r" +
                                 Cell(kBlack, "\xF0\x9F\x98\x80") + Cell(kBlack, "\xC3\xA9") + "\r";
    QCOMPARE(Art(engine), QByteArray::fromStdString(expected));
}

void CoreTests::markupLettersAreEntities() {
    // The cell is HTML: a letter that would read as markup is its entity; a
    // double quote outside the tag is plain text and stays.
    const std::string word = "&<>\"";
    const PixelBuffer picture(4, 1, kBlack);
    ConversionEngine engine(Coloured(Inputs("4", "1", "1", "1"), word), &picture);
    RunToEnd(engine);
    const std::string expected = Cell(kBlack, "&amp;") + Cell(kBlack, "&lt;") +
                                 Cell(kBlack, "&gt;") + Cell(kBlack, "\"") + "\r";
    QCOMPARE(Art(engine), QByteArray::fromStdString(expected));
}

void CoreTests::brokenUtf8ByteIsALetter() {
    // A stray continuation byte and a lead byte cut short each count as one
    // letter, so the word still has a length and the letters still cycle.
    const std::string word = "\x80z\xE2";
    const PixelBuffer picture(4, 1, kBlack);
    ConversionEngine engine(Coloured(Inputs("4", "1", "1", "1"), word), &picture);
    RunToEnd(engine);
    const std::string expected = Cell(kBlack, "\x80") + Cell(kBlack, "z") + Cell(kBlack, "\xE2") +
                                 Cell(kBlack, "\x80") + "\r";
    QCOMPARE(Art(engine), QByteArray::fromStdString(expected));
}

void CoreTests::fiveLinePicture() {
    const PixelBuffer picture = WherePicture(1, 5);
    ConversionEngine engine(Coloured(Inputs("1", "5", "1", "1"), ""), &picture);
    const std::vector<StepResult> results = RunToEnd(engine);
    QCOMPARE(CountOf(results, StepResult::LineEnd), 4);
    QCOMPARE(results.back(), StepResult::Finished);
    std::string expected;
    for (int y = 0; y < 5; ++y) {
        expected += Cell(Where(0, y), "") + "\r";
    }
    QCOMPARE(Art(engine), QByteArray::fromStdString(expected));
}

void CoreTests::nullPictureReadsInvalid() {
    ConversionEngine signs(Inputs("2", "1", "1", "1"), nullptr);
    RunToEnd(signs);
    QCOMPARE(Art(signs), QByteArray("99\r"));
    ConversionEngine coloured(Coloured(Inputs("1", "1", "1", "1"), "q"), nullptr);
    RunToEnd(coloured);
    QCOMPARE(Art(coloured), QByteArray("<font color=\"#FFFFFF\">q</font>\r"));
}

void CoreTests::pixelsBeyondPictureReadInvalid() {
    // The size texts say more than the picture holds.
    const PixelBuffer picture(1, 1, kWhite);
    ConversionEngine engine(Inputs("2", "2", "1", "1"), &picture);
    RunToEnd(engine);
    QCOMPARE(Art(engine), QByteArray("  9\r99\r"));
}

void CoreTests::scaleTextsReadAsWholeNumbers() {
    const PixelBuffer picture(10, 1, kBlack);
    const struct {
        const char* width;
        const char* scaleWidth;
        int cells;
    } cases[] = {{"10", "2.5", 5}, {"10", " 3 ", 4}, {"9.5", "3", 4}, {"10", "3.5", 3}};
    for (const auto& c : cases) {
        ConversionEngine engine(Inputs(c.width, "1", c.scaleWidth, "1"), &picture);
        RunToEnd(engine);
        QCOMPARE(Art(engine), QByteArray(c.cells, '9') + "\r");
    }
}

void CoreTests::currentLineKeepsValueOnOverflow() {
    // 16384 lines of scale 2: the last line end would make CurrentLine 32768.
    ConversionEngine engine(Inputs("1", "32767", "1", "2"), nullptr);
    const std::vector<StepResult> results = RunToEnd(engine);
    QCOMPARE(results.back(), StepResult::Finished);
    QCOMPARE(engine.CellRow(), 16384);
    QCOMPARE(int(engine.CurrentLine()), 32766);
    QCOMPARE(Art(engine).size(), 2 * 16384);
}

void CoreTests::stepAfterFinishChangesNothing() {
    const PixelBuffer picture(1, 1, kBlack);
    ConversionEngine engine(Coloured(Inputs("1", "1", "1", "1"), "ab"), &picture);
    RunToEnd(engine);
    const QByteArray art = Art(engine);
    QCOMPARE(engine.Step(), StepResult::Finished);
    QCOMPARE(Art(engine), art);
    QCOMPARE(engine.CellRow(), 1);
    QCOMPARE(int(engine.LetterIndex()), 0);
}

void CoreTests::scaleBelowOneNeverFinishes() {
    const PixelBuffer picture(5, 5, kBlack);
    {
        ConversionEngine engine(Inputs("5", "5", "0", "1"), &picture);
        const std::vector<StepResult> results = RunToEnd(engine, 1000);
        QCOMPARE(CountOf(results, StepResult::Cell), 1000);
        QCOMPARE(engine.CellColumn(), 1000);
        QCOMPARE(engine.ExpectedCellsPerLine(), 0);
    }
    {
        ConversionEngine engine(Inputs("2", "5", "1", "0"), &picture);
        const std::vector<StepResult> results = RunToEnd(engine, 1000);
        QCOMPARE(CountOf(results, StepResult::LineEnd), 500);
        QVERIFY(!engine.IsFinished());
        QCOMPARE(int(engine.CurrentLine()), 0);
        QCOMPARE(engine.ExpectedLines(), 0);
    }
    {
        ConversionEngine engine(Inputs("5", "5", "-1", "-1"), &picture);
        const std::vector<StepResult> results = RunToEnd(engine, 1000);
        QCOMPARE(CountOf(results, StepResult::Cell), 1000);
    }
}

void CoreTests::artTextSoFarHoldsEveryCell() {
    const PixelBuffer picture(7, 3, kBlack);
    ConversionEngine engine(Inputs("7", "3", "1", "1"), &picture);
    QCOMPARE(Art(engine), QByteArray());
    engine.Step();
    QCOMPARE(Art(engine), QByteArray("9"));
    for (int step = 1; step < 7; ++step) {
        engine.Step();
    }
    QCOMPARE(Art(engine), QByteArray("9999999\r"));
    engine.Step();
    QCOMPARE(Art(engine), QByteArray("9999999\r9"));
}

void CoreTests::largePictureMatchesPlainConversion_data() {
    QTest::addColumn<bool>("coloured");
    QTest::addColumn<QString>("scaleWidth");
    QTest::addColumn<QString>("scaleHeight");
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("oddRamp");
    QTest::addColumn<bool>("streamed");
    QTest::addRow("signs_scale1") << false << "1"
                                  << "1"
                                  << "" << false << false;
    QTest::addRow("signs_scale2x3_oddRamp") << false << "2"
                                            << "3"
                                            << "" << true << false;
    QTest::addRow("signs_scale1_oddRamp") << false << "1"
                                          << "1"
                                          << "" << true << false;
    QTest::addRow("coloured_scale1_word") << true << "1"
                                          << "1"
                                          << "Glimmora" << false << false;
    QTest::addRow("coloured_scale7x5_multiByte") << true << "7"
                                                 << "5"
                                                 << "h\xC3\xA9llo\xE2\x82\xAC" << false << false;
    QTest::addRow("coloured_scale1_emptyWord") << true << "1"
                                               << "1"
                                               << "" << false << false;
    // Through a sink, pieces arrive in order and nothing stays in the engine.
    QTest::addRow("streamed_signs_oddRamp") << false << "1"
                                            << "2"
                                            << "" << true << true;
    QTest::addRow("streamed_coloured_multiByte") << true << "1"
                                                 << "1"
                                                 << "h\xC3\xA9llo" << false << true;
}

void CoreTests::largePictureMatchesPlainConversion() {
    QFETCH(bool, coloured);
    QFETCH(QString, scaleWidth);
    QFETCH(QString, scaleHeight);
    QFETCH(QString, word);
    QFETCH(bool, oddRamp);
    QFETCH(bool, streamed);
    // Runs of equal colours and single odd pixels, so remembered colours are
    // both reused and replaced.
    PixelBuffer picture(203, 157);
    std::mt19937 random(12345);
    Colour colour = 0;
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            if (random() % 3 == 0) {
                colour = static_cast<Colour>(random() & 0xFFFFFF);
            }
            picture.SetPixel(x, y, colour);
        }
    }
    ConversionInputs inputs = Inputs("203", "157", "", "");
    inputs.scaleWidthText = scaleWidth.toStdString();
    inputs.scaleHeightText = scaleHeight.toStdString();
    inputs.coloured = coloured;
    inputs.word = word.toStdString();
    if (oddRamp) {
        inputs.ramp = {"",
                       "#",
                       "sixteen-letters!",
                       "seventeen-letters",
                       "",
                       "\xE2\x96\x88",
                       "ab",
                       "a much longer text than any slot would hold",
                       "  "};
    }
    ConversionEngine engine(inputs, &picture);
    std::string sunk;
    if (streamed) {
        engine.SetArtSink([&sunk](std::string_view piece) { sunk.append(piece); });
    }
    RunToEnd(engine);
    QVERIFY(engine.IsFinished());
    const QByteArray expected = QByteArray::fromStdString(PlainConversion(inputs, picture));
    QCOMPARE(streamed ? QByteArray::fromStdString(sunk) : Art(engine), expected);
    if (streamed) {
        QCOMPARE(Art(engine), QByteArray());
    }
}

void CoreTests::takeArtTextLeavesEngineEmpty() {
    const PixelBuffer picture(3, 1, kBlack);
    ConversionEngine engine(Inputs("3", "1", "1", "1"), &picture);
    engine.Step();
    engine.Step();
    QCOMPARE(QByteArray::fromStdString(engine.TakeArtText()), QByteArray("99"));
    QCOMPARE(Art(engine), QByteArray());
    engine.Step();
    QCOMPARE(Art(engine), QByteArray("9\r"));
}

void CoreTests::expectedSize_data() {
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("scaleWidth");
    QTest::addColumn<QString>("scaleHeight");
    QTest::addColumn<qint64>("cells");
    QTest::addColumn<qint64>("lines");
    QTest::addRow("width10_scale3") << "10"
                                    << "10"
                                    << "3"
                                    << "4" << qint64(4) << qint64(3);
    QTest::addRow("width5_scale2") << "5"
                                   << "5"
                                   << "2"
                                   << "2" << qint64(3) << qint64(3);
    QTest::addRow("height100_scale3") << "1"
                                      << "100"
                                      << "1"
                                      << "3" << qint64(1) << qint64(34);
    QTest::addRow("zeroSize_oneCell") << "0"
                                      << "0"
                                      << "1"
                                      << "1" << qint64(1) << qint64(1);
    QTest::addRow("notANumber_oneCell") << "abc"
                                        << "7"
                                        << "1"
                                        << "1" << qint64(1) << qint64(7);
    QTest::addRow("scaleZero_unknown") << "10"
                                       << "10"
                                       << "0"
                                       << "0" << qint64(0) << qint64(0);
}

void CoreTests::expectedSize() {
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QString, scaleWidth);
    QFETCH(QString, scaleHeight);
    QFETCH(qint64, cells);
    QFETCH(qint64, lines);
    ConversionInputs inputs = Inputs("", "", "", "");
    inputs.widthText = width.toStdString();
    inputs.heightText = height.toStdString();
    inputs.scaleWidthText = scaleWidth.toStdString();
    inputs.scaleHeightText = scaleHeight.toStdString();
    const ConversionEngine engine(inputs, nullptr);
    QCOMPARE(engine.ExpectedCellsPerLine(), cells);
    QCOMPARE(engine.ExpectedLines(), lines);
}
