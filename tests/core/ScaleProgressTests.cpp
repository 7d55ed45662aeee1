#include <QTest>

#include <optional>

#include "CoreTests.h"
#include "core/Progress.h"
#include "core/Scale.h"

using namespace glimmora;

Q_DECLARE_METATYPE(glimmora::OutputFormat)

void CoreTests::autoScale_data() {
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<OutputFormat>("format");
    QTest::addColumn<QString>("across");
    QTest::addColumn<QString>("down");
    const auto rtf = OutputFormat::Rtf;
    const auto html = OutputFormat::HtmlText;
    const auto clean = OutputFormat::CleanText;
    const auto coloured = OutputFormat::HtmlColoredText;
    QTest::addRow("rtf_40000_band1") << "200"
                                     << "200" << rtf << "1"
                                     << "2";
    QTest::addRow("rtf_40200_band2") << "200"
                                     << "201" << rtf << "2"
                                     << "4";
    QTest::addRow("rtf_40001_band2") << "40001"
                                     << "1" << rtf << "2"
                                     << "4";
    QTest::addRow("rtf_500000_band2") << "1000"
                                      << "500" << rtf << "2"
                                      << "4";
    QTest::addRow("rtf_500001_band3") << "500001"
                                      << "1" << rtf << "4"
                                      << "8";
    QTest::addRow("html_1pixel_band1") << "1"
                                       << "1" << html << "1"
                                       << "2";
    QTest::addRow("html_zero_band1") << "0"
                                     << "0" << html << "1"
                                     << "2";
    QTest::addRow("html_band2") << "300"
                                << "300" << html << "2"
                                << "4";
    QTest::addRow("html_band3") << "1024"
                                << "768" << html << "4"
                                << "8";
    QTest::addRow("clean_40000_band1") << "200"
                                       << "200" << clean << "4"
                                       << "4";
    QTest::addRow("clean_500000_band2") << "1000"
                                        << "500" << clean << "6"
                                        << "6";
    QTest::addRow("clean_500500_band3") << "1000"
                                        << "500.5" << clean << "8"
                                        << "8";
    QTest::addRow("coloured_40000_band1") << "200"
                                          << "200" << coloured << "1"
                                          << "1";
    QTest::addRow("coloured_40200_band2") << "200"
                                          << "201" << coloured << "2"
                                          << "2";
    QTest::addRow("coloured_501000_band3") << "1000"
                                           << "501" << coloured << "4"
                                           << "4";
    QTest::addRow("decimals_40100_band2") << "200.5"
                                          << "200" << rtf << "2"
                                          << "4";
    QTest::addRow("blanks_read") << " 1000 "
                                 << " 501" << rtf << "4"
                                 << "8";
    QTest::addRow("widthNotNumber_band1") << "abc"
                                          << "100000" << rtf << "1"
                                          << "2";
    QTest::addRow("heightEmpty_band1_clean") << "100000"
                                             << "" << clean << "4"
                                             << "4";
    QTest::addRow("negative_band1") << "-1000"
                                    << "1000" << coloured << "1"
                                    << "1";
}

void CoreTests::autoScale() {
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(OutputFormat, format);
    QFETCH(QString, across);
    QFETCH(QString, down);
    const ScaleProposal proposal = AutoScale(width.toStdString(), height.toStdString(), format);
    QCOMPARE(QString::fromStdString(proposal.across), across);
    QCOMPARE(QString::fromStdString(proposal.down), down);
}

void CoreTests::lineCounterText() {
    QCOMPARE(QString::fromStdString(LineCounterText(12, 480)), QString("12 of 480"));
    QCOMPARE(QString::fromStdString(LineCounterText(102, 100)), QString("102 of 100"));
    QCOMPARE(QString::fromStdString(LineCounterText(0, 0)), QString("0 of 0"));
}

void CoreTests::progressBarWidth_data() {
    QTest::addColumn<int>("scaleHeight");
    QTest::addColumn<int>("cellRow");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("known");
    QTest::addColumn<float>("width");
    QTest::addRow("line33of34_3935.25") << 3 << 33 << 100 << true << 3935.25f;
    QTest::addRow("line34_overshoot_capped") << 3 << 34 << 100 << true << 3975.0f;
    QTest::addRow("exactEnd_full") << 1 << 480 << 480 << true << 3975.0f;
    QTest::addRow("half") << 1 << 1 << 2 << true << 1987.5f;
    QTest::addRow("start_zero") << 1 << 0 << 480 << true << 0.0f;
    QTest::addRow("thirdSinglePrecision") << 1 << 1 << 3 << true << 1325.0f;
    QTest::addRow("heightZero_unknown") << 1 << 1 << 0 << false << 0.0f;
    QTest::addRow("negativeWidth_unknown") << 1 << 1 << -5 << false << 0.0f;
}

void CoreTests::progressBarWidth() {
    QFETCH(int, scaleHeight);
    QFETCH(int, cellRow);
    QFETCH(int, height);
    QFETCH(bool, known);
    QFETCH(float, width);
    const std::optional<float> bar = ProgressBarWidth(static_cast<std::int16_t>(scaleHeight),
                                                      cellRow, static_cast<std::int16_t>(height));
    QCOMPARE(bar.has_value(), known);
    if (known) {
        QCOMPARE(*bar, width);
    }
}

void CoreTests::timeLeft_data() {
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("text");
    QTest::addRow("59.4") << 59.4 << "0 h, 0 min, 59 sek";
    QTest::addRow("3661") << 3661.0 << "1 h, 1 min, 1 sek";
    QTest::addRow("3599.6_roundsUpToHour") << 3599.6 << "1 h, 0 min, 0 sek";
    QTest::addRow("2.5_toEvenBelow") << 2.5 << "0 h, 0 min, 2 sek";
    QTest::addRow("3.5_toEvenAbove") << 3.5 << "0 h, 0 min, 4 sek";
    QTest::addRow("125") << 125.0 << "0 h, 2 min, 5 sek";
    QTest::addRow("zero") << 0.0 << "0 h, 0 min, 0 sek";
    QTest::addRow("dayIsHours") << 90061.0 << "25 h, 1 min, 1 sek";
}

void CoreTests::timeLeft() {
    QFETCH(double, seconds);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(FormatTimeLeft(seconds)), text);
}

void CoreTests::timeLeftText_data() {
    QTest::addColumn<int>("elapsed");
    QTest::addColumn<int>("currentLine");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("known");
    QTest::addColumn<QString>("text");
    QTest::addRow("30s_line60of300_2min") << 30 << 60 << 300 << true << "0 h, 2 min, 0 sek";
    QTest::addRow("firstSecond_zero") << 0 << 3 << 100 << true << "0 h, 0 min, 0 sek";
    QTest::addRow("59.4") << 297 << 100 << 120 << true << "0 h, 0 min, 59 sek";
    QTest::addRow("3599.6") << 17998 << 100 << 120 << true << "1 h, 0 min, 0 sek";
    QTest::addRow("clockStopped_32767") << 32767 << 1 << 2 << true << "9 h, 6 min, 7 sek";
    QTest::addRow("overshoot_smallNegativeRoundsToZero")
        << 10 << 102 << 100 << true << "0 h, 0 min, 0 sek";
    QTest::addRow("noLineYet_unknown") << 5 << 0 << 100 << false << "";
}

void CoreTests::timeLeftText() {
    QFETCH(int, elapsed);
    QFETCH(int, currentLine);
    QFETCH(int, height);
    QFETCH(bool, known);
    QFETCH(QString, text);
    const std::optional<std::string> caption =
        TimeLeftText(static_cast<std::int16_t>(elapsed), static_cast<std::int16_t>(currentLine),
                     static_cast<std::int16_t>(height));
    QCOMPARE(caption.has_value(), known);
    if (known) {
        QCOMPARE(QString::fromStdString(*caption), text);
    }
}

void CoreTests::elapsedSecondsStopsAtMaximum() {
    QCOMPARE(int(NextElapsedSeconds(0)), 1);
    QCOMPARE(int(NextElapsedSeconds(32766)), 32767);
    QCOMPARE(int(NextElapsedSeconds(32767)), 32767);
}
