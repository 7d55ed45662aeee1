#include <QTest>

#include <cmath>
#include <optional>

#include "CoreTests.h"
#include "core/Numbers.h"

using namespace glimmora;

void CoreTests::readWholeNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::addRow("plain") << "12" << 12;
    QTest::addRow("zero") << "0" << 0;
    QTest::addRow("2.5_toEvenBelow") << "2.5" << 2;
    QTest::addRow("3.5_toEvenAbove") << "3.5" << 4;
    QTest::addRow("0.5_toZero") << "0.5" << 0;
    QTest::addRow("1.5_toTwo") << "1.5" << 2;
    QTest::addRow("-2.5_toEven") << "-2.5" << -2;
    QTest::addRow("-3.5_toEven") << "-3.5" << -4;
    QTest::addRow("2.4999_down") << "2.4999" << 2;
    QTest::addRow("2.5001_up") << "2.5001" << 3;
    QTest::addRow("surroundingBlanks") << "  7 " << 7;
    QTest::addRow("tab") << "\t8" << 8;
    QTest::addRow("plusSign") << "+5" << 5;
    QTest::addRow("leadingZeros") << "007" << 7;
    QTest::addRow("pointWithoutFraction") << "5." << 5;
    QTest::addRow("fractionWithoutWhole") << ".6" << 1;
    QTest::addRow("exponent") << "1e3" << 1000;
    QTest::addRow("upperExponent") << "2.5E1" << 25;
    QTest::addRow("largest") << "32767" << 32767;
    QTest::addRow("largestRoundedDown") << "32767.4" << 32767;
    QTest::addRow("roundsPastLargest_zero") << "32767.5" << 0;
    QTest::addRow("smallest") << "-32768" << -32768;
    QTest::addRow("smallestHalfToEven") << "-32768.5" << -32768;
    QTest::addRow("belowSmallest_zero") << "-32769" << 0;
    QTest::addRow("tooLarge_zero") << "40000" << 0;
    QTest::addRow("huge_zero") << "1e400" << 0;
    QTest::addRow("empty_zero") << "" << 0;
    QTest::addRow("blanksOnly_zero") << "   " << 0;
    QTest::addRow("letters_zero") << "abc" << 0;
    QTest::addRow("trailingLetters_zero") << "12abc" << 0;
    QTest::addRow("innerBlank_zero") << "1 2" << 0;
    QTest::addRow("signOnly_zero") << "-" << 0;
    QTest::addRow("pointOnly_zero") << "." << 0;
    QTest::addRow("comma_zero") << "1,5" << 0;
    QTest::addRow("hex_zero") << "0x10" << 0;
    QTest::addRow("infinity_zero") << "inf" << 0;
    QTest::addRow("nan_zero") << "nan" << 0;
    QTest::addRow("exponentWithoutDigits_zero") << "1e" << 0;
    QTest::addRow("twoSigns_zero") << "+-1" << 0;
}

void CoreTests::readWholeNumber() {
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(int(ReadWholeNumber(text.toStdString())), value);
}

void CoreTests::readDecimal_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<double>("value");
    QTest::addRow("whole") << "8" << true << 8.0;
    QTest::addRow("fraction") << "14.5" << true << 14.5;
    QTest::addRow("blanks") << " 8.25\t" << true << 8.25;
    QTest::addRow("negative") << "-3" << true << -3.0;
    QTest::addRow("exponent") << "4e4" << true << 40000.0;
    QTest::addRow("underflow_zero") << "1e-400" << true << 0.0;
    QTest::addRow("overflow_none") << "1e400" << false << 0.0;
    QTest::addRow("empty_none") << "" << false << 0.0;
    QTest::addRow("letters_none") << "abc" << false << 0.0;
    QTest::addRow("unit_none") << "8pt" << false << 0.0;
    QTest::addRow("infinity_none") << "infinity" << false << 0.0;
}

void CoreTests::readDecimal() {
    QFETCH(QString, text);
    QFETCH(bool, isNumber);
    QFETCH(double, value);
    const std::optional<double> read = ReadDecimal(text.toStdString());
    QCOMPARE(read.has_value(), isNumber);
    if (isNumber) {
        QCOMPARE(*read, value);
    }
}

void CoreTests::isUsableStep_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("usable");
    QTest::addRow("one") << "1" << true;
    QTest::addRow("largest") << "32767" << true;
    QTest::addRow("blanks") << " 3 " << true;
    QTest::addRow("wholeWithZeroFraction") << "2.0" << true;
    QTest::addRow("fraction_refused") << "2.5" << false;
    QTest::addRow("smallFraction_refused") << "1.0001" << false;
    QTest::addRow("zero_refused") << "0" << false;
    QTest::addRow("half_refused") << "0.5" << false;
    QTest::addRow("negative_refused") << "-1" << false;
    QTest::addRow("empty_refused") << "" << false;
    QTest::addRow("letters_refused") << "abc" << false;
    QTest::addRow("tooLarge_refused") << "40000" << false;
    QTest::addRow("justTooLarge_refused") << "32768" << false;
}

void CoreTests::isUsableStep() {
    QFETCH(QString, text);
    QFETCH(bool, usable);
    QCOMPARE(IsUsableStep(text.toStdString()), usable);
}

void CoreTests::formatDecimal_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::addRow("whole") << 16.0 << "16";
    QTest::addRow("odd") << 17.0 << "17";
    QTest::addRow("half") << 14.5 << "14.5";
    QTest::addRow("tenth") << 16.6 << "16.6";
    QTest::addRow("small") << 0.1 << "0.1";
    QTest::addRow("zero") << 0.0 << "0";
    QTest::addRow("negativeZero") << -0.0 << "0";
    QTest::addRow("negative") << -2.25 << "-2.25";
    QTest::addRow("large_noExponent") << 123456789.0 << "123456789";
}

void CoreTests::formatDecimal() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(FormatDecimal(value)), text);
}
