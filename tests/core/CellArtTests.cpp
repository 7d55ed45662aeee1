#include <QTest>

#include "core/AreaSampler.h"
#include "core/CellArt.h"
#include "core/CellSigns.h"

using namespace glimmora;

Q_DECLARE_METATYPE(glimmora::Cell)

namespace {

constexpr Colour Rgb(int red, int green, int blue) {
    return red | (green << 8) | (blue << 16);
}

// One cell's samples: the top half in one colour, the bottom in another.
PixelBuffer HalvesCell(Colour top, Colour bottom) {
    PixelBuffer samples(kCellSamplesAcross, kCellSamplesDown, top);
    for (int y = kCellSamplesDown / 2; y < kCellSamplesDown; ++y) {
        for (int x = 0; x < kCellSamplesAcross; ++x) {
            samples.SetPixel(x, y, bottom);
        }
    }
    return samples;
}

CellColour Direct(Colour colour) {
    return {colour, CellColour::kDirect};
}
CellColour Indexed(int index) {
    return {PaletteColour(index), static_cast<std::int16_t>(index)};
}

} // namespace

class CellArtTests : public QObject {
    Q_OBJECT
private slots:
    void bytes_data();
    void bytes();
    void cells_data();
    void cells();
    void mosaicSigns_data();
    void mosaicSigns();
    void nearestPaletteColour_data();
    void nearestPaletteColour();
    void fit_data();
    void fit();
    void areaAverage_inLinearLight();
    void shapes_everySignDrawsItself();
    void shapes_tableFromTheFace();
};

void CellArtTests::bytes_data() {
    QTest::addColumn<int>("depth");
    QTest::addColumn<QList<Cell>>("cells"); // two columns a row
    QTest::addColumn<QByteArray>("expected");
    const Cell plainA{U'a', {}, {}};
    const Cell red{U'a', Direct(Rgb(255, 0, 0)), {}};
    QTest::addRow("none_noCodes") << int(ColourDepth::None)
                                  << QList<Cell>{plainA, plainA, plainA, {U'\u2580', {}, {}}}
                                  << QByteArray("aa\na\xE2\x96\x80\n");
    QTest::addRow("full_oneCodeForARunOneResetALine")
        << int(ColourDepth::Full) << QList<Cell>{red, red, red, red}
        << QByteArray("\x1b[38;2;255;0;0maa\x1b[0m\n\x1b[38;2;255;0;0maa\x1b[0m\n");
    QTest::addRow("sixteen_brightAndDarkCodes")
        << int(ColourDepth::Sixteen)
        << QList<Cell>{{U'a', Indexed(9), Indexed(4)}, {U'b', Indexed(1), Indexed(12)}}
        << QByteArray("\x1b[91;44ma\x1b[31;104mb\x1b[0m\n");
    QTest::addRow("256_cubeCodes")
        << int(ColourDepth::TwoFiftySix)
        << QList<Cell>{{U'a', Indexed(196), Indexed(21)}, {U'a', Indexed(196), Indexed(232)}}
        << QByteArray("\x1b[38;5;196;48;5;21ma\x1b[48;5;232ma\x1b[0m\n");
    // A space shows no ink and a full block no background: neither changes
    // the colour it cannot show.
    QTest::addRow("invisibleColoursNotSent")
        << int(ColourDepth::Full)
        << QList<Cell>{{U'a', Direct(0x0000FF), {}},
                       {U' ', Direct(0x00FF00), {}},
                       {U'\u2588', Direct(0x0000FF), Direct(0x111111)},
                       {U'b', Direct(0x0000FF), {}}}
        << QByteArray("\x1b[38;2;255;0;0ma \x1b[0m\n\x1b[38;2;255;0;0m\xE2\x96\x88"
                      "b\x1b[0m\n");
    QTest::addRow("backgroundBackToTheTerminals")
        << int(ColourDepth::Full) << QList<Cell>{{U' ', {}, Direct(0)}, {U' ', {}, {}}}
        << QByteArray("\x1b[48;2;0;0;0m \x1b[49m \n");
}

void CellArtTests::bytes() {
    QFETCH(int, depth);
    QFETCH(QList<Cell>, cells);
    QFETCH(QByteArray, expected);
    CellGrid grid;
    grid.depth = static_cast<ColourDepth>(depth);
    grid.columns = 2;
    grid.rows = static_cast<int>(cells.size() / 2);
    grid.cells.assign(cells.begin(), cells.end());
    QCOMPARE(QByteArray::fromStdString(CellArtText(grid)), expected);
}

void CellArtTests::cells_data() {
    QTest::addColumn<int>("symbols");
    QTest::addColumn<bool>("fill");
    QTest::addColumn<int>("depth");
    QTest::addColumn<int>("background");
    QTest::addColumn<bool>("invert");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("bottom");
    QTest::addColumn<Cell>("expected");
    const int ascii = int(CellSymbols::Ascii);
    const int none = int(ColourDepth::None);
    const int full = int(ColourDepth::Full);
    const int white = 0xFFFFFF;
    // Positive: the densest sign where the cell is brightest on a dark
    // terminal, where it is darkest on a light one.
    QTest::addRow("ascii_whiteOnDark_dense")
        << ascii << false << none << 0 << false << white << white << Cell{U'9', {}, {}};
    QTest::addRow("ascii_whiteOnLight_blank")
        << ascii << false << none << white << false << white << white << Cell{U' ', {}, {}};
    QTest::addRow("ascii_blackOnLight_dense")
        << ascii << false << none << white << false << 0 << 0 << Cell{U'9', {}, {}};
    QTest::addRow("ascii_whiteOnDarkInverted_blank")
        << ascii << false << none << 0 << true << white << white << Cell{U' ', {}, {}};
    // Grey 132 is band 6 of 0..8, so box 2 from the light end.
    QTest::addRow("ascii_grey132InColour") << ascii << false << full << 0 << false << 0x808080
                                           << 0x808080 << Cell{U'u', Direct(0x808080), {}};
    // The band next to the densest takes the sign with the next most ink,
    // "e", not the ramp's "=", on either background.
    QTest::addRow("ascii_grey160OnDark_nextDensestInk")
        << ascii << false << none << 0 << false << 0xA0A0A0 << 0xA0A0A0 << Cell{U'e', {}, {}};
    QTest::addRow("ascii_grey40OnLight_nextDensestInk")
        << ascii << false << none << white << false << 0x282828 << 0x282828 << Cell{U'e', {}, {}};
    // Grey 82: band 4, box 4.
    QTest::addRow("ascii_red_256")
        << ascii << false << int(ColourDepth::TwoFiftySix) << 0 << false << Rgb(250, 0, 0)
        << Rgb(250, 0, 0) << Cell{U';', Indexed(196), {}};
    QTest::addRow("blocks_fill_topAndBottom")
        << int(CellSymbols::Blocks) << true << full << 0 << false << Rgb(255, 0, 0)
        << Rgb(0, 0, 255) << Cell{U'\u2580', Direct(Rgb(255, 0, 0)), Direct(Rgb(0, 0, 255))};
    QTest::addRow("blocks_lowerHalfOnDark")
        << int(CellSymbols::Blocks) << false << full << 0 << false << 0 << Rgb(0, 200, 0)
        << Cell{U'\u2584', Direct(Rgb(0, 200, 0)), {}};
    QTest::addRow("blocks_noColours_upperHalfOnLight")
        << int(CellSymbols::Blocks) << false << none << white << false << 0 << white
        << Cell{U'\u2580', {}, {}};
    QTest::addRow("quadrants_fill_evenCellIsPlain")
        << int(CellSymbols::Quadrants) << true << full << 0 << false << 0x336699 << 0x336699
        << Cell{U' ', {}, Direct(0x336699)};
    QTest::addRow("braille_topSixDots") << int(CellSymbols::Braille) << false << none << 0 << false
                                        << white << 0 << Cell{U'\u281B', {}, {}};
}

void CellArtTests::cells() {
    QFETCH(int, symbols);
    QFETCH(bool, fill);
    QFETCH(int, depth);
    QFETCH(int, background);
    QFETCH(bool, invert);
    QFETCH(int, top);
    QFETCH(int, bottom);
    QFETCH(Cell, expected);
    CellArtOptions options;
    options.symbols = static_cast<CellSymbols>(symbols);
    options.fill = fill;
    options.depth = static_cast<ColourDepth>(depth);
    options.background = background;
    options.invert = invert;
    const CellGrid grid = MakeCellArt(HalvesCell(top, bottom), 1, 1, options);
    QCOMPARE(grid.cells.size(), std::size_t{1});
    const Cell& cell = grid.cells.front();
    QCOMPARE(uint(cell.sign), uint(expected.sign));
    QCOMPARE(cell.foreground.code, expected.foreground.code);
    QCOMPARE(cell.foreground.rgb, expected.foreground.rgb);
    QCOMPARE(cell.background.code, expected.background.code);
    QCOMPARE(cell.background.rgb, expected.background.rgb);
}

// One cell as 4 x 8 samples, row by row: '#' white, '.' black, '+' the grey
// of a sample half covered; white ink on a black terminal, so that a sign and
// its complement (upper eighth, lower seven) are not the same fit.
void CellArtTests::mosaicSigns_data() {
    QTest::addColumn<QByteArray>("pattern");
    QTest::addColumn<uint>("expected");
    QTest::addRow("lowerThreeEighths")
        << QByteArray("....................############") << uint(0x2583);
    QTest::addRow("leftThreeEighths")
        << QByteArray("#+..#+..#+..#+..#+..#+..#+..#+..") << uint(0x258D);
    QTest::addRow("upperEighth") << QByteArray("####............................") << uint(0x2594);
    QTest::addRow("rightEighth") << QByteArray("...+...+...+...+...+...+...+...+") << uint(0x2595);
    QTest::addRow("quadrantsStillThere")
        << QByteArray("##..##..##..##....##..##..##..##") << uint(0x259A);
}

void CellArtTests::mosaicSigns() {
    QFETCH(QByteArray, pattern);
    QFETCH(uint, expected);
    PixelBuffer samples(kCellSamplesAcross, kCellSamplesDown, 0);
    for (int k = 0; k < pattern.size(); ++k) {
        const char c = pattern[k];
        samples.SetPixel(k % kCellSamplesAcross, k / kCellSamplesAcross,
                         c == '#'   ? 0xFFFFFF
                         : c == '+' ? 0x808080
                                    : 0);
    }
    CellArtOptions options;
    options.symbols = CellSymbols::Mosaic;
    const CellGrid grid = MakeCellArt(samples, 1, 1, options);
    const Cell& cell = grid.cells.front();
    QCOMPARE(uint(cell.sign), expected);
}

void CellArtTests::nearestPaletteColour_data() {
    QTest::addColumn<int>("colour");
    QTest::addColumn<int>("sixteen");
    QTest::addColumn<int>("twoFiftySix");
    QTest::addRow("red") << Rgb(250, 0, 0) << 9 << 196;
    QTest::addRow("grey128") << Rgb(128, 128, 128) << 8 << 244;
    // Nearest by RGB distance would be 4 and 26: blue 0000EE and 005FD7.
    QTest::addRow("blue_byLightness") << Rgb(30, 60, 200) << 12 << 27;
    // By RGB distance 3 (CDCD00) and 172 (D78700).
    QTest::addRow("orange_byHue") << Rgb(200, 120, 40) << 1 << 130;
}

void CellArtTests::nearestPaletteColour() {
    QFETCH(int, colour);
    QFETCH(int, sixteen);
    QFETCH(int, twoFiftySix);
    QCOMPARE(NearestPaletteIndex(colour, ColourDepth::Sixteen), sixteen);
    QCOMPARE(NearestPaletteIndex(colour, ColourDepth::TwoFiftySix), twoFiftySix);
}

void CellArtTests::fit_data() {
    QTest::addColumn<QList<int>>("pictureAndLimits");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::addRow("landscape_fullWidth") << QList<int>{1000, 500, 120, 39} << 120 << 30;
    QTest::addRow("portrait_fullHeight") << QList<int>{500, 1000, 120, 39} << 39 << 39;
    QTest::addRow("rowsOnly") << QList<int>{800, 600, 0, 30} << 80 << 30;
    QTest::addRow("columnsOnly") << QList<int>{800, 600, 100, 0} << 100 << 38;
    QTest::addRow("thinLine_atLeastOneRow") << QList<int>{1000, 1, 80, 24} << 80 << 1;
}

void CellArtTests::fit() {
    QFETCH(QList<int>, pictureAndLimits);
    QFETCH(int, columns);
    QFETCH(int, rows);
    const CellArtSize size = FitCellArt(pictureAndLimits[0], pictureAndLimits[1],
                                        pictureAndLimits[2], pictureAndLimits[3]);
    QCOMPARE(size.columns, columns);
    QCOMPARE(size.rows, rows);
}

void CellArtTests::areaAverage_inLinearLight() {
    // Black beside white: half the light, sRGB 188, not 128.
    PixelBuffer picture(2, 1, 0xFFFFFF);
    picture.SetPixel(0, 0, 0);
    QCOMPARE(AreaAverage(picture, 2, 1, 1, 1).GetPixel(0, 0), 0xBCBCBC);
    // Smaller areas than a pixel take the pixel under their centre.
    const PixelBuffer up = AreaAverage(picture, 2, 1, 4, 1);
    QCOMPARE(
        QList<int>({up.GetPixel(0, 0), up.GetPixel(1, 0), up.GetPixel(2, 0), up.GetPixel(3, 0)}),
        QList<int>({0, 0, 0xFFFFFF, 0xFFFFFF}));
}

void CellArtTests::shapes_everySignDrawsItself() {
    // A cell of a sign's own ink, white on black, is that sign again.
    CellArtOptions options;
    options.symbols = CellSymbols::Shapes;
    options.depth = ColourDepth::None;
    for (char32_t sign = 32; sign < 127; ++sign) {
        const GlyphCoverage* cover = GlyphCover(sign);
        QVERIFY(cover != nullptr);
        PixelBuffer samples(kCellSamplesAcross, kCellSamplesDown);
        for (int k = 0; k < int(cover->size()); ++k) {
            const int level = qRound((*cover)[std::size_t(k)] * 255);
            samples.SetPixel(k % kCellSamplesAcross, k / kCellSamplesAcross, level * 0x010101);
        }
        QCOMPARE(uint(MakeCellArt(samples, 1, 1, options).cells.front().sign), uint(sign));
    }
}

void CellArtTests::shapes_tableFromTheFace() {
    // Rows of ink of a sign, top first.
    const auto inkRows = [](char32_t sign) {
        QList<int> rows;
        for (int y = 0; y < kCellSamplesDown; ++y) {
            float ink = 0;
            for (int x = 0; x < kCellSamplesAcross; ++x) {
                ink += (*GlyphCover(sign))[std::size_t(y * kCellSamplesAcross + x)];
            }
            if (ink > 0.5F) {
                rows.append(y);
            }
        }
        return rows;
    };
    QCOMPARE(inkRows(U' '), QList<int>());
    QCOMPARE(inkRows(U'-'), QList<int>({4}));
    QCOMPARE(inkRows(U'_'), QList<int>({7}));
    QVERIFY(GlyphCover(U'\u2588') == nullptr);
}

QTEST_APPLESS_MAIN(CellArtTests)
#include "CellArtTests.moc"
