#include <QTest>

#include "CoreTests.h"
#include "core/Colour.h"
#include "core/ConversionJob.h"

using namespace glimmora;

namespace {
constexpr Colour Grey(int level) {
    return level * 0x010101;
}
constexpr Colour Rgb(int red, int green, int blue) {
    return red | (green << 8) | (blue << 16);
}
} // namespace

void CoreTests::grayScale_data() {
    QTest::addColumn<int>("colour");
    QTest::addColumn<int>("grey");
    QTest::addRow("black_staysBlack") << 0x000000 << 0x000000;
    QTest::addRow("white_263LimitedTo255") << 0xFFFFFF << 0xFFFFFF;
    QTest::addRow("pureRed_84") << 0x0000FF << 0x545454;
    QTest::addRow("pureGreen_150") << 0x00FF00 << 0x969696;
    QTest::addRow("pureBlue_28") << 0xFF0000 << 0x1C1C1C;
    QTest::addRow("middleGrey_132") << 0x808080 << 0x848484;
    QTest::addRow("invalid_black") << -1 << 0x000000;
    // Sums that land exactly on one half only when green, red and blue are
    // added in that order; other orders fall just below the half.
    QTest::addRow("order_21.5_to22") << Rgb(1, 4, 171) << Grey(22);
    QTest::addRow("order_25.5_to26") << Rgb(1, 5, 202) << Grey(26);
    QTest::addRow("order_29.5_to30") << Rgb(1, 6, 233) << Grey(30);
    QTest::addRow("order_15.5_to16") << Rgb(1, 8, 95) << Grey(16);
}

void CoreTests::grayScale() {
    QFETCH(int, colour);
    QFETCH(int, grey);
    QCOMPARE(GrayScale(colour), grey);
    QCOMPARE(GrayLevel(colour) * 0x010101, grey);
}

void CoreTests::grayScaleOfGreys_data() {
    QTest::addColumn<int>("pixelLevel");
    QTest::addColumn<int>("greyLevel");
    QTest::addRow("150_sums154.5_toEvenBelow") << 150 << 154;
    QTest::addRow("50_sums51.5_toEvenAbove") << 50 << 52;
    QTest::addRow("250_sums257.5_limited") << 250 << 255;
    QTest::addRow("247_sums254.41") << 247 << 254;
    for (int level = 248; level <= 255; ++level) {
        QTest::addRow("%d_white", level) << level << 255;
    }
    QTest::addRow("1_sums1.03") << 1 << 1;
    QTest::addRow("2_sums2.06") << 2 << 2;
}

void CoreTests::grayScaleOfGreys() {
    QFETCH(int, pixelLevel);
    QFETCH(int, greyLevel);
    QCOMPARE(GrayScale(Grey(pixelLevel)), Grey(greyLevel));
}

void CoreTests::colorToHex_data() {
    QTest::addColumn<int>("colour");
    QTest::addColumn<QString>("code");
    QTest::addRow("zero") << 0 << "000000";
    QTest::addRow("pureRed") << 255 << "FF0000";
    QTest::addRow("pureGreen") << 65280 << "00FF00";
    QTest::addRow("pureBlue") << 16711680 << "0000FF";
    QTest::addRow("123456_pairsReversed") << 1193046 << "563412";
    QTest::addRow("invalid_white") << -1 << "FFFFFF";
    QTest::addRow("15_leadingZeroOfRedKept") << 15 << "0F0000";
    QTest::addRow("uppercaseDigits") << 0xABCDEF << "EFCDAB";
    QTest::addRow("sevenDigits_takenFromTheFront") << 0x1234567 << "563412";
    QTest::addRow("eightDigits") << 0x12345678 << "563412";
    QTest::addRow("minus2_twosComplement") << -2 << "FFFFFF";
    QTest::addRow("mostNegative") << int(0x80000000u) << "000080";
}

void CoreTests::colorToHex() {
    QFETCH(int, colour);
    QFETCH(QString, code);
    QCOMPARE(QString::fromStdString(ColorToHex(colour)), code);
    // The same six digits in place, nothing written past them.
    char out[8] = {'x', 'x', 'x', 'x', 'x', 'x', 'y', 'y'};
    ColorToHexInto(colour, out);
    QCOMPARE(QString::fromLatin1(out, 7), code + QLatin1Char('y'));
}

void CoreTests::rampIndexForGrey_data() {
    QTest::addColumn<int>("grey");
    QTest::addColumn<int>("box");
    const int edges[][2] = {{0, 0},   {29, 0},  {30, 1},  {44, 1},  {45, 2},  {55, 2},
                            {56, 3},  {69, 3},  {70, 4},  {94, 4},  {95, 5},  {116, 5},
                            {117, 6}, {147, 6}, {148, 7}, {194, 7}, {195, 8}, {255, 8}};
    for (const auto& [level, box] : edges) {
        QTest::addRow("level%d_box%d", level, box) << Grey(level) << box;
    }
    QTest::addRow("justBelowOddBound_box2") << 0x373740 << 2;
    QTest::addRow("oddBound_box3") << 0x373741 << 3;
    QTest::addRow("aboveWhite_box0") << 0x1000000 << 0;
    QTest::addRow("negative_box0") << -1 << 0;
}

void CoreTests::rampIndexForGrey() {
    QFETCH(int, grey);
    QFETCH(int, box);
    QCOMPARE(RampIndexForGrey(grey), box);
}
